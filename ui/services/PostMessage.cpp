#include "PostMessage.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
QPointer<QObject> g_mainWindow;
}

QEvent::Type CPostedMessageEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CPostedMessageEvent::CPostedMessageEvent(unsigned int message, long long wParam, long long lParam)
    : QEvent(EventType()), m_message(message), m_wParam(wParam), m_lParam(lParam)
{
}

void SetMainWindow(QObject* window)
{
    g_mainWindow = window;
}

QObject* GetMainWindow()
{
    return g_mainWindow.data();
}

bool PostMessageToMainWindow(unsigned int message, long long wParam, long long lParam)
{
    QObject* window = g_mainWindow.data();
    if (window == nullptr)
        return false;
    QCoreApplication::postEvent(window, new CPostedMessageEvent(message, wParam, lParam));
    return true;
}
