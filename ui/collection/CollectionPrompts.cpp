#include "CollectionPrompts.h"

#include <QInputDialog>

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
