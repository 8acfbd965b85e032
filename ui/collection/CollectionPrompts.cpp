#include "CollectionPrompts.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

bool CQtCollectionPrompts::AskText(QWidget* parent, const QString& title, const QString& label,
                                   const QString& suggestion, QString& answer)
{
    bool ok = false;
    answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, suggestion, &ok);
    return ok;
}

bool CQtCollectionPrompts::AskChoice(QWidget* parent, const QString& title, const QString& label,
                                     const QStringList& choices, QString& answer)
{
    bool ok = false;
    answer = QInputDialog::getItem(parent, title, label, choices, 0, false, &ok);
    return ok;
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
