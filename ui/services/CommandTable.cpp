#include "CommandTable.h"

#include "Resources.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QMenu* MenuTitled(const QMenuBar& menuBar, const QString& title)
{
    for (QAction* entry : menuBar.actions())
        if (entry->menu() != nullptr && entry->text() == title)
            return entry->menu();
    return nullptr;
}

CCommandTable::CCommandTable(QObject* owner, CCommandUpdater& updater) : m_owner(owner), m_updater(updater) {}

QAction* CCommandTable::Add(int commandId, const QString& menuText, CommandHandler handler, UpdateHandler update)
{
    auto* action = new QAction(menuText, m_owner);
    Register(commandId, action);
    m_updater.AddCommand(action, std::move(handler), std::move(update));
    return action;
}

void CCommandTable::Register(int commandId, QAction* action)
{
    action->setStatusTip(CommandPrompt(commandId));
    action->setToolTip(CommandTip(commandId));
    action->setData(commandId);
    m_actions[commandId] = action;
}

QAction* CCommandTable::Find(int commandId) const
{
    const auto found = m_actions.find(commandId);
    return found == m_actions.end() ? nullptr : found->second;
}
