#include "SendGate.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace {
// At most this long for what came in during a send, should events keep coming.
constexpr int WAITING_EVENTS_MS = 100;
}  // namespace

bool CSendGate::Pass(const std::function<void()>& send)
{
    if (m_shut)
        return false;
    m_shut = true;
    send();
    QCoreApplication::processEvents(QEventLoop::AllEvents, WAITING_EVENTS_MS);
    m_shut = false;
    return true;
}
