// The platform's questions, answered from inside their modal loop: every button has a key.

#include "services/QuestionService.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <memory>
#include <set>

namespace {

TEST(QtQuestions, SaveDiscardAndCancelEachHaveAKeyOfTheirOwn)
{
    CQtQuestionService questions;
    const struct {
        QChar key;
        SaveChoice answer;
    } cases[] = {{'s', SaveChoice::Save}, {'d', SaveChoice::Discard}, {'c', SaveChoice::Cancel}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString(c.key).toStdString());
        QStringList texts;
        QTimer::singleShot(0, [&texts, key = c.key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QAbstractButton* chosen = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                texts.append(button->text());
                const int amp = button->text().indexOf('&');
                if (amp >= 0 && amp + 1 < button->text().size() && button->text().at(amp + 1).toLower() == key)
                    chosen = button;
            }
            if (chosen != nullptr)
                chosen->click();
            else
                box->reject();
        });
        EXPECT_EQ(questions.AskSaveChanges(nullptr, "The bank has changes."), c.answer);
        std::set<QChar> keys;
        for (const QString& text : texts) {
            const int amp = text.indexOf('&');
            ASSERT_GE(amp, 0) << text.toStdString();
            EXPECT_TRUE(keys.insert(text.at(amp + 1).toLower()).second) << text.toStdString();
        }
        EXPECT_EQ(keys.size(), 3u);
    }
}

}  // namespace
