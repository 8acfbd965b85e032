#pragma once
// The bank's commands and their place in the main window: the bank pane as a dock, File >
// Open Bank... and Save Bank As..., the Edit menu's Undo and Redo, View > Bank, Program >
// Put in Bank and Use as Bank (also on the library grid's context menu), dragging library
// rows out of the grid, auditioning slots, the question before unsaved changes are lost,
// and the window layout kept in the settings.

#include "Bank.h"
#include "frame/CommandTable.h"
#include "services/CommandUpdater.h"
#include "services/UiServices.h"

#include <QObject>

#include <map>
#include <vector>

class QAction;
class QMenu;
class CBankPane;
class CLibrarySources;
class CMainFrame;
class CSyxProgram;

class CBankCommands : public QObject {
    Q_OBJECT
public:
    // Made by the frame once its menus, bars and grid exist; the pane starts hidden (or as
    // the stored layout says) and empty.
    CBankCommands(CMainFrame& frame, const CUiServices& services, const CLibrarySources& sources);

    CBankPane* Pane() const { return m_pane; }
    QAction* Action(int commandId) const;

    // Before the bank is replaced or the window closes: when the bank has unsaved changes,
    // asks Save, Discard or Cancel. True when the bank may go (saved, or discarded).
    bool MayReplaceBank();
    // Stores the window layout (bars and the bank pane) in the settings.
    void SaveLayout();

    void OnFileOpenBank();
    // True when the bank was written.
    bool OnFileSaveBankAs();
    void OnProgramPutInBank();
    void OnProgramUseAsBank();
    void OnUpdateHasBank(CCmdUI& cmdUI);
    void OnUpdateProgramPutInBank(CCmdUI& cmdUI);
    void OnUpdateProgramUseAsBank(CCmdUI& cmdUI);

private:
    void CreateCommands();
    void AddToMenus();
    void RestoreLayout();
    void ShowPane();
    void AuditionSlot(int slot);
    std::vector<const CSyxProgram*> SelectedLibraryPrograms() const;

    CMainFrame& m_frame;
    CUiServices m_services;
    const CLibrarySources& m_sources;
    CCommandTable m_commands;
    CBankPane* m_pane;
};
