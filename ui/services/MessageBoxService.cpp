#include "MessageBoxService.h"

#include <QApplication>
#include <QMessageBox>

void CQtMessageBoxService::Show(QWidget* parent, const QString& text, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning,
                    QApplication::applicationName(), text, QMessageBox::Ok, parent);
    box.exec();
}
