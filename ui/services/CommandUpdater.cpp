#include "CommandUpdater.h"

#include "DisabledCommandTips.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QThread>
#include <QWidget>

namespace {
// Command state that enables or disables an action.
class CActionCmdUI : public CCmdUI {
public:
    explicit CActionCmdUI(QAction* action) : m_action(action) {}
    void Enable(bool enabled) override
    {
        if (m_action->isEnabled() != enabled)
            m_action->setEnabled(enabled);
    }
    void SetText(const QString&) override {}
    void EnableIf(bool met, const QString& needsFirst) override
    {
        Enable(met);
        SetNeedsFirst(*m_action, met ? QString() : needsFirst);
    }

private:
    QAction* m_action;
};

// Command state of a status pane: its text.
class CPaneCmdUI : public CCmdUI {
public:
    explicit CPaneCmdUI(QLabel* label) : m_label(label) {}
    void Enable(bool enabled) override { m_label->setEnabled(enabled); }
    void SetText(const QString& text) override
    {
        if (m_label->text() != text)
            m_label->setText(text);
    }

private:
    QLabel* m_label;
};

// Asks an update handler whether its command is enabled, without touching the action.
class CProbeCmdUI : public CCmdUI {
public:
    void Enable(bool enabled) override { m_enabled = enabled; }
    void SetText(const QString&) override {}
    bool IsEnabled() const { return m_enabled; }

private:
    bool m_enabled = true;
};
}  // namespace

CCommandUpdater::CCommandUpdater(QObject* parent) : QObject(parent)
{
    // aboutToBlock is emitted when the event loop has nothing left to do.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CCommandUpdater::UpdateAll);
    // Key presses reach the focused widget through the application's filters first.
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

void CCommandUpdater::AddCommand(QAction* action, CommandHandler handler, UpdateHandler update)
{
    m_commands.push_back({action, handler, update});
    connect(action, &QAction::triggered, this, [handler, update]() { Deliver(handler, update); });
    UpdateCommand(m_commands.back());
}

void CCommandUpdater::Deliver(const CommandHandler& handler, const UpdateHandler& update)
{
    CProbeCmdUI probe;
    if (update)
        update(probe);
    if (probe.IsEnabled())
        handler();
}

bool CCommandUpdater::eventFilter(QObject* watched, QEvent* event)
{
    // An enabled command's accelerator never arrives here as a key press: the shortcut map
    // has taken it. A disabled one's does, addressed to the focused widget.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    const Command* command = DisabledCommandForKey(key, *static_cast<QWidget*>(watched));
    if (!command || WidgetClaimsKey(key, *watched))
        return QObject::eventFilter(watched, event);
    Deliver(command->handler, command->update);   // enabled since the last idle update?
    return true;
}

bool CCommandUpdater::WidgetClaimsKey(const QKeyEvent& key, QObject& receiver)
{
    // Asked as the shortcut map asks before any accelerator: the widget (or one it sits in)
    // that accepts the override keeps the key, as it would from an enabled command.
    QKeyEvent claim(QEvent::ShortcutOverride, key.key(), key.modifiers(), key.text(), key.isAutoRepeat(),
                    static_cast<quint16>(key.count()));
    claim.ignore();
    QCoreApplication::sendEvent(&receiver, &claim);
    return claim.isAccepted();
}

const CCommandUpdater::Command* CCommandUpdater::DisabledCommandForKey(const QKeyEvent& key,
                                                                       const QWidget& receiver) const
{
    const QKeyCombination pressed(key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                     Qt::AltModifier | Qt::MetaModifier),
                                  Qt::Key(key.key()));
    for (const Command& command : m_commands) {
        if (command.action->isEnabled())
            continue;
        // The command's window is its action's parent's: the main window for the menu
        // commands. An application-wide accelerator holds in every window.
        const auto* owner = qobject_cast<const QWidget*>(command.action->parent());
        const bool applicationWide = command.action->shortcutContext() == Qt::ApplicationShortcut;
        if (!applicationWide && (!owner || owner->window() != receiver.window()))
            continue;
        for (const QKeySequence& sequence : command.action->shortcuts()) {
            if (sequence.count() == 1 && sequence[0] == pressed)
                return &command;
        }
    }
    return nullptr;
}

void CCommandUpdater::AddPane(QLabel* pane, UpdateHandler update)
{
    if (!update)
        return;  // a pane without a handler keeps its text
    m_panes.push_back({pane, update});
    CPaneCmdUI state(pane);
    update(state);
}

void CCommandUpdater::UpdateCommand(const Command& command)
{
    if (!command.update)
        return;
    CActionCmdUI state(command.action);
    command.update(state);
}

void CCommandUpdater::UpdateAll()
{
    if (m_updating)
        return;
    m_updating = true;
    for (const Command& command : m_commands)
        UpdateCommand(command);
    for (const Pane& pane : m_panes) {
        CPaneCmdUI state(pane.label);
        pane.update(state);
    }
    m_updating = false;
}
