#include "CollectionPrompts.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace {
// Wide enough for its title (with the window's own buttons beside it), its question and what
// it offers: an input dialog on its own is barely 200 pixels, cutting the title.
void MakeReadable(QInputDialog& dialog, const QString& title, const QStringList& texts)
{
    const QFontMetrics metrics = dialog.fontMetrics();
    int width = metrics.horizontalAdvance(title) + 8 * metrics.height();
    for (const QString& text : texts)
        width = std::max(width, metrics.horizontalAdvance(text) + 4 * metrics.height());
    dialog.setMinimumWidth(std::max(width, 30 * metrics.averageCharWidth()));
}
}  // namespace

bool CQtCollectionPrompts::AskText(QWidget* parent, const QString& title, const QString& label,
                                   const QString& suggestion, QString& answer)
{
    QInputDialog dialog(parent);
    dialog.setObjectName("collectionTextPrompt");
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(suggestion);
    MakeReadable(dialog, title, {label, suggestion});
    if (dialog.exec() != QDialog::Accepted)
        return false;
    answer = dialog.textValue();
    return true;
}

bool CQtCollectionPrompts::AskChoice(QWidget* parent, const QString& title, const QString& label,
                                     const QStringList& choices, QString& answer)
{
    QInputDialog dialog(parent);
    dialog.setObjectName("collectionChoicePrompt");
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setComboBoxItems(choices);
    dialog.setComboBoxEditable(false);
    MakeReadable(dialog, title, QStringList(choices) << label);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    answer = dialog.textValue();
    return true;
}

bool CQtCollectionPrompts::AskConfirm(QWidget* parent, const QString& title, const QString& text,
                                      const QString& confirmText)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Cancel, parent);
    QPushButton* confirm = box.addButton(confirmText, QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == confirm;
}
