#include "CommandTable.h"

#include "Resources.h"

#include <QAction>
#include <QMenu>

void InsertGroupAbove(QMenu& menu, QAction* anchor, const QList<QAction*>& group)
{
    const QList<QAction*> items = menu.actions();
    const qsizetype at = items.indexOf(anchor);
    QAction* before = at > 0 && items[at - 1]->isSeparator() ? items[at - 1] : items.value(at);
    menu.insertSeparator(before);
    menu.insertActions(before, group);
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
