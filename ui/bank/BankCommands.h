#pragma once
// The bank's commands and their place in the main window: the bank pane as a dock, File >
// New Bank, Open Bank..., Save Bank and Save Bank As..., the Edit menu's Undo and Redo, View > Bank, Program >
// Put in Bank and Use as Bank (also on the library grid's context menu), dragging library
// rows out of the grid, auditioning slots, and the question before unsaved changes are
// lost (also when the window closes).

#include "Bank.h"
#include "host/BankAccess.h"
#include "services/CommandTable.h"
#include "services/CommandUpdater.h"
#include "services/UiServices.h"

#include <QObject>

#include <map>
#include <vector>

class QAction;
class CBankPane;
class QUndoGroup;
class CSyxProgram;
class ICommandHost;
class IMidiLink;
class ILoadedList;

class CBankCommands : public QObject, public IBankAccess {
    Q_OBJECT
public:
    // Made once the window's menus, bars and grid exist; the pane starts hidden (until the
    // window's layout is restored) and empty. Slots are auditioned through `midi`.
    CBankCommands(ICommandHost& host, ILoadedList& library, IMidiLink& midi, const CUiServices& services);

    CBankPane* Pane() const { return m_pane; }
    // The window's Undo and Redo act on this group's active stack: the bank's, or that of
    // another pane that joined it while the keyboard is there.
    QUndoGroup* UndoGroup() const { return m_undoGroup; }
    QAction* Action(int commandId) const;

    // The bank (IBankAccess); MayReplaceBank is also asked before the window closes.
    const CBank* Bank() const override;
    QString BankName() const override;
    bool MayReplaceBank() override;
    void SetBank(const CBank& bank, const QString& sourceName) override;
    CBankOrigin Origin() const override { return m_origin; }
    void SetOrigin(const CBankOrigin& origin) override { m_origin = origin; }
    std::vector<unsigned char> BankDump(int channel) const override;
    int SelectedSlot() const override;
    int PutPrograms(const std::vector<CBank::ProgramData>& programs) override;
    void WhenBankFileRead(BankFileReadHandler handler) override;
    void AddSlotCommand(QAction* action) override;
    void WhenBankReplaced(BankReplacedHandler handler) override;

    // New Bank: 128 copies of the synthesizer's initial program, asking first about unsaved
    // changes.
    void OnFileNewBank();
    void OnFileOpenBank();
    // Makes the bank file at `path` the bank again as Open Bank... does, at the start of a
    // session: without a question, without showing the pane (the stored layout decides) and
    // without taking the file into the Collection again. False, with the reader's text.
    bool ReopenBankFile(const QString& path, QString& error);
    // Save Bank: to the file the bank came from or was last saved to, asking for a name
    // only when there is none (or that file holds more than a bank). True when written.
    bool OnFileSaveBank();
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
    bool SaveBankTo(const QString& path);
    // Makes the file's bank the bank, from that file.
    void TakeBankFile(const CBank& bank, const QString& path);
    // Whether saving the bank over `path` keeps all it holds: it is a program data dump.
    static bool SavesAsItIs(const QString& path);

    ICommandHost& m_host;
    ILoadedList& m_library;
    IMidiLink& m_midi;
    CUiServices m_services;
    CCommandTable m_commands;
    CBankPane* m_pane;
    QUndoGroup* m_undoGroup = nullptr;
    QString m_bankPath;   // where Save Bank writes; empty: it asks
    CBankOrigin m_origin;
    std::vector<BankFileReadHandler> m_bankFileReadHandlers;
    std::vector<BankReplacedHandler> m_bankReplacedHandlers;
};
