#pragma once
// Program > "Compare Programs..." (also in the list's, the bank's and the Collection's
// context menus): the last two programs selected, in the list, the bank or the Collection in
// any mix (see CLastSelectedPrograms), compared parameter by parameter in a window of their
// own. The command is greyed while there is no such pair.

#include "LastSelectedPrograms.h"
#include "services/CommandTable.h"

#include <QObject>

class CCompareProgramsWindow;
class ICommandHost;
class ISynthModelSetting;
class QAction;

class CCompareProgramsCommand : public QObject {
    Q_OBJECT
public:
    CCompareProgramsCommand(ICommandHost& host, ISynthModelSetting& model);

    // A place whose selection counts (the list, the bank pane, the Collection view).
    void AddPlace(CSelectionPlace place) { m_selection.AddPlace(std::move(place)); }

    QAction* Action() const;
    // The window, once the command opened it; null before.
    CCompareProgramsWindow* Window() const { return m_window; }

    void OnProgramCompare();
    void OnUpdateProgramCompare(CCmdUI& cmdUI);

private:
    ICommandHost& m_host;
    ISynthModelSetting& m_model;
    CCommandTable m_commands;
    CLastSelectedPrograms m_selection;
    CCompareProgramsWindow* m_window = nullptr;
};
