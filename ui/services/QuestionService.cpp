#include "QuestionService.h"

#include "UiServices.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

SaveChoice CQtQuestionService::AskSaveChanges(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    // Each answer has its key (Alt+S, Alt+D, Alt+C) as well as Return and Escape.
    box.button(QMessageBox::Save)->setText("&Save");
    box.button(QMessageBox::Discard)->setText("&Discard");
    box.button(QMessageBox::Cancel)->setText("&Cancel");
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;   // Cancel, Escape or the window closed
    }
}

SaveChoice CQtQuestionService::AskKeepChanges(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::NoButton, parent);
    QPushButton* keep = box.addButton("&Keep", QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton("&Discard", QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(keep);
    box.exec();
    if (box.clickedButton() == keep)
        return SaveChoice::Save;
    return box.clickedButton() == discard ? SaveChoice::Discard : SaveChoice::Cancel;
}

bool CQtQuestionService::AskConfirm(QWidget* parent, const QString& text, const QString& confirmText)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::NoButton, parent);
    QPushButton* confirm = box.addButton(confirmText, QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.exec();
    return box.clickedButton() == confirm;
}

int IQuestionService::AskChoice(QWidget*, const QString&, const QStringList&, int)
{
    return -1;
}

int CQtQuestionService::AskChoice(QWidget* parent, const QString& text, const QStringList& choices, int current)
{
    if (choices.isEmpty())
        return -1;
    bool ok = false;
    const QString picked = QInputDialog::getItem(parent, QApplication::applicationName(), text, choices,
                                                 qBound(0, current, static_cast<int>(choices.size()) - 1), false, &ok);
    return ok ? static_cast<int>(choices.indexOf(picked)) : -1;
}

IQuestionService& QuestionsOf(const CUiServices& services)
{
    static CQtQuestionService platformQuestions;
    return services.questions != nullptr ? *services.questions : platformQuestions;
}
