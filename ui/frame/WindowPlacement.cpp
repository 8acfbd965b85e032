#include "WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {
// How long after showing the window the frame's margins are waited for.
constexpr int FRAME_WAIT_MS = 5000;

QMargins FrameMargins(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}
}  // namespace

QRect AvailableAreaFor(const QRect& outer)
{
    const QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(outer);
        const qint64 area = qint64(common.width()) * common.height();
        if (!common.isEmpty() && area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    if (best == nullptr)
        best = QGuiApplication::primaryScreen();
    return best != nullptr ? best->availableGeometry() : QRect();
}

QRect FitToArea(const QRect& outer, const QRect& available)
{
    if (available.isEmpty())
        return outer;
    QRect fitted(outer.topLeft(), outer.size().boundedTo(available.size()));
    fitted.moveLeft(std::clamp(fitted.left(), available.left(), available.left() + available.width() - fitted.width()));
    fitted.moveTop(std::clamp(fitted.top(), available.top(), available.top() + available.height() - fitted.height()));
    return fitted;
}

CWindowPlacement::CWindowPlacement(QWidget* window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

void CWindowPlacement::PlaceOuter(const QRect& outer)
{
    m_mode = Mode::Outer;
    m_outer = FitToArea(outer, AvailableAreaFor(outer));
    m_waitingForFrame = true;
    Apply(QMargins());
}

void CWindowPlacement::PlaceCentred(const QSize& inner)
{
    m_mode = Mode::Centred;
    m_inner = inner;
    m_waitingForFrame = true;
    Apply(QMargins());
}

void CWindowPlacement::Apply(const QMargins& margins)
{
    // The client area is placed, never the frame: a window manager told a frame position
    // with a gravity it reads otherwise puts the client one title bar lower (openbox: 20 px
    // further down, the status bar off a screen the window exactly fills). The frame then
    // lies around the client, where the outer rectangle asked for it.
    const QSize decorations(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QPoint clientOffset(margins.left(), margins.top());
    if (m_mode == Mode::Outer) {
        // Taken again from the area once the frame is known: the rectangle fitted without
        // decorations is fitted again with them (a shrunk window stays inside).
        const QRect outer = FitToArea(m_outer, AvailableAreaFor(m_outer));
        m_window->setGeometry(QRect(outer.topLeft() + clientOffset, outer.size() - decorations));
        return;
    }
    const QScreen* screen = m_window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize outerSize = (m_inner + decorations).boundedTo(available.size());
    const QPoint outerTopLeft(available.x() + std::max(0, (available.width() - outerSize.width()) / 2),
                              available.y() + std::max(0, (available.height() - outerSize.height()) / 2));
    m_window->setGeometry(QRect(outerTopLeft + clientOffset, outerSize - decorations));
}

bool CWindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window || !m_waitingForFrame)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
        // A frame that has not come by then never will; later moves are the user's.
        QTimer::singleShot(FRAME_WAIT_MS, this, [this] { m_waitingForFrame = false; });
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Paint:
    case QEvent::WindowActivate: {
        // The window manager's reparenting and its frame extents come with these.
        const QMargins margins = FrameMargins(*m_window);
        if (margins.isNull())
            break;
        m_waitingForFrame = false;
        if (m_window->windowState() == Qt::WindowNoState)
            Apply(margins);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
