#include "MessageBoxService.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {
QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Stop: return QMessageBox::Critical;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: break;
    }
    return QMessageBox::Warning;
}

void EchoToStderr(const QString& text, MessageIcon icon)
{
    if (qEnvironmentVariableIntValue("VELTRIX_ECHO_MESSAGES") != 1)
        return;
    const char* name = icon == MessageIcon::Stop ? "stop" : icon == MessageIcon::Information ? "information" : "exclamation";
    std::fprintf(stderr, "Veltrix message (%s): %s\n", name, text.toUtf8().constData());
    std::fflush(stderr);
}
}  // namespace

void CQtMessageBoxService::Show(QWidget* parent, const QString& text, MessageIcon icon)
{
    EchoToStderr(text, icon);
    QMessageBox box(BoxIcon(icon), QApplication::applicationName(), text, QMessageBox::Ok, parent);
    box.exec();
}
