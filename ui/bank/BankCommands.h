#pragma once
// The bank's commands and their place in the main window: the bank pane as a dock, File >
// Open Bank... and Save Bank As..., the Edit menu's Undo and Redo, View > Bank, Program >
// Put in Bank and Use as Bank (also on the library grid's context menu), dragging library
// rows out of the grid, auditioning slots, the question before unsaved changes are lost,
// and the window layout kept in the settings.

#include "Bank.h"
#include "host/BankAccess.h"
#include "services/CommandTable.h"
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

class CBankCommands : public QObject, public IBankAccess {
    Q_OBJECT
public:
    // Made by the frame once its menus, bars and grid exist; the pane starts hidden (or as
    // the stored layout says) and empty.
    CBankCommands(CMainFrame& frame, const CUiServices& services, const CLibrarySources& sources);

    CBankPane* Pane() const { return m_pane; }
    QAction* Action(int commandId) const;

    // The bank (IBankAccess); MayReplaceBank is also asked before the window closes.
    const CBank* Bank() const override;
    QString BankName() const override;
    bool MayReplaceBank() override;
    void SetBank(const CBank& bank, const QString& sourceName) override;
    std::vector<unsigned char> BankDump(int channel) const override;
    int SelectedSlot() const override;
    int PutPrograms(const std::vector<CBank::ProgramData>& programs) override;

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
    void ShowPane();
    void AuditionSlot(int slot);
    std::vector<const CSyxProgram*> SelectedLibraryPrograms() const;

    CMainFrame& m_frame;
    CUiServices m_services;
    const CLibrarySources& m_sources;
    CCommandTable m_commands;
    CBankPane* m_pane;
};
