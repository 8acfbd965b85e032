#include "CommandUpdater.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QLabel>
#include <QThread>

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
}

void CCommandUpdater::AddCommand(QAction* action, CommandHandler handler, UpdateHandler update)
{
    m_commands.push_back({action, update});
    connect(action, &QAction::triggered, this, [update, handler]() {
        CProbeCmdUI probe;
        if (update)
            update(probe);
        if (probe.IsEnabled())
            handler();
    });
    UpdateCommand(m_commands.back());
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
