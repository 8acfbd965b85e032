#include "DisabledCommandTips.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>
#include <QVariant>

namespace {
const char* const NEEDS_FIRST_PROPERTY = "veltrixNeedsFirst";

// The widget a menu's status texts go to: the menu bar or view it was opened from, whose
// window has the status bar (a menu is a window of its own, which such events do not leave).
QWidget* OpenedFrom(QMenu* menu)
{
    QWidget* widget = menu;
    while (widget != nullptr && qobject_cast<QMenu*>(widget) != nullptr)
        widget = widget->parentWidget();
    return widget;
}

void SendStatusTip(QWidget* target, const QString& text)
{
    QStatusTipEvent tip(text);
    QCoreApplication::sendEvent(target, &tip);
}
}  // namespace

QString NeedsFirst(const QAction& action)
{
    return action.property(NEEDS_FIRST_PROPERTY).toString();
}

void SetNeedsFirst(QAction& action, const QString& needsFirst)
{
    if (NeedsFirst(action) != needsFirst)
        action.setProperty(NEEDS_FIRST_PROPERTY, needsFirst);
}

CDisabledCommandTips::CDisabledCommandTips(QObject* parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool CDisabledCommandTips::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (auto* menu = qobject_cast<QMenu*>(watched))
            OnMenuMove(menu, menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
    } else if (event->type() == QEvent::StatusTip) {
        // A greyed tool bar button shows its command's prompt: the need is said instead.
        auto* button = qobject_cast<QToolButton*>(watched);
        QAction* action = button != nullptr ? button->defaultAction() : nullptr;
        if (action != nullptr && !action->isEnabled() && !NeedsFirst(*action).isEmpty()
            && static_cast<QStatusTipEvent*>(event)->tip() == action->statusTip()) {
            if (QWidget* parent = button->parentWidget())
                SendStatusTip(parent, NeedsFirst(*action));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CDisabledCommandTips::OnMenuMove(QMenu* menu, QAction* action)
{
    if (action == nullptr || action->isEnabled() || NeedsFirst(*action).isEmpty())
        return;
    // After the menu's own handling of the move, which clears the status bar when the
    // pointer leaves an enabled item for a greyed one.
    QTimer::singleShot(0, menu, [menu = QPointer<QMenu>(menu), action = QPointer<QAction>(action)] {
        if (!menu || !action || !menu->isVisible() || action->isEnabled() || menu->activeAction() != nullptr)
            return;
        if (QWidget* target = OpenedFrom(menu))
            SendStatusTip(target, NeedsFirst(*action));
    });
}
