#pragma once
// Writing one program into one slot of the synthesizer's memory: "Send to Synth Slot..." on
// the library's selected program (Program menu and the grid's context menu) and, through
// ISynthSlotWriter, on the Collection's and the Program Editor's; "Send Slot to Synth" on the
// bank's selected slot (Program menu and the bank pane's context menu). Each asks first,
// naming the slot and, when the synthesizer's memory is known, the program it replaces; the
// write runs as a transfer on the open port, and the synthesizer's answer is told.

#include "Bank.h"
#include "host/SynthSlotWriter.h"
#include "services/CommandTable.h"
#include "services/CommandUpdater.h"
#include "services/UiServices.h"

#include <QObject>
#include <QString>

class CSynthCommands;
class CSynthMemoryTracker;
class IBankAccess;
class ICommandHost;
class ILoadedList;
class QAction;
struct CSlotWriteResult;

class CSlotWriteCommands : public QObject, public ISynthSlotWriter {
    Q_OBJECT
public:
    // `bank` may be null (no bank pane: no Send Slot to Synth).
    CSlotWriteCommands(ICommandHost& host, ILoadedList& library, IBankAccess* bank, CSynthCommands& synth,
                       CSynthMemoryTracker& memory, const CUiServices& services);

    QAction* Action(int commandId) const { return m_commands.Find(commandId); }

    // ISynthSlotWriter.
    bool CanWriteSlot() const override;
    void SendToSynthSlot(const CBank::ProgramData& program, int proposedSlot = -1) override;

    // Asks whether `program` may replace what `slot` holds and writes it when confirmed.
    void WriteSlot(const CBank::ProgramData& program, int slot);
    // Tests shorten the wait for each answer.
    void SetAnswerWaitForTests(unsigned int answerMs) { m_answerMs = answerMs; }

    void OnProgramSendToSlot();
    void OnBankSendSlot();
    void OnUpdateProgramSendToSlot(CCmdUI& cmdUI);
    void OnUpdateBankSendSlot(CCmdUI& cmdUI);

private:
    void CreateCommands();
    void AddToMenus();
    void OnWritten(int slot, const CBank::ProgramData& program, int channel, const CSlotWriteResult& result);

    ICommandHost& m_host;
    ILoadedList& m_library;
    IBankAccess* m_bank;
    CSynthCommands& m_synth;
    CSynthMemoryTracker& m_memory;
    CUiServices m_services;
    CCommandTable m_commands;
    int m_lastSlot = 0;                 // the slot chosen last, offered first next time
    unsigned int m_answerMs;
};

// The program's name as the questions show it: "Warm Pad".
QString ProgramNameOf(const CBank::ProgramData& program);
// "A 05 "Stab Saw"" when the memory is known, else "A 05".
QString SlotWithProgram(int slot, const CBank* memory);
