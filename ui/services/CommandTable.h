#pragma once
// A window's commands by id: each action carries its id and the status-bar prompt and tool
// tip of its command string, reaches its handler through the command updater (so that a
// disabled command never runs), and is found again by its id.

#include "services/CommandUpdater.h"

#include <QList>
#include <QString>

#include <map>

class QAction;
class QMenu;
class QObject;

// Puts `group` in `menu` as a group of its own just above `anchor` (such as Exit), or above
// the separator right above it: the group gets a separator above, and the one of the
// anchor stays between them. An anchor not in the menu puts the group at the end.
void InsertGroupAbove(QMenu& menu, QAction* anchor, const QList<QAction*>& group);

class CCommandTable {
public:
    // Actions are made as children of `owner`.
    CCommandTable(QObject* owner, CCommandUpdater& updater);

    // A new command with its menu text, handler and update handler (none: always enabled).
    QAction* Add(int commandId, const QString& menuText, CommandHandler handler, UpdateHandler update = {});
    // An action made elsewhere (a bar's toggle, the undo stack's actions): given the id and
    // the command string's prompt and tip, and found by id from here on.
    void Register(int commandId, QAction* action);
    // The command's action, or null for an id not in the table.
    QAction* Find(int commandId) const;

private:
    QObject* m_owner;
    CCommandUpdater& m_updater;
    std::map<int, QAction*> m_actions;
};
