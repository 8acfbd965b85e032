#pragma once
// "Send Changed Slots to Synth" on the bank: only the slots that differ from the synthesizer's
// memory as Veltrix knows it (its last receive, or the bank last sent) go, one write per slot,
// after a question that lists them; progress and Cancel (between slots) in the transfer's
// dialog, and a result that names each slot written, refused or not answered. When the
// synthesizer's memory is not known it says so and offers Send Bank to Synth instead.

#include "Bank.h"
#include "ProgramWrite.h"
#include "services/CommandTable.h"
#include "services/CommandUpdater.h"
#include "services/UiServices.h"

#include <QObject>
#include <QString>

#include <vector>

class CSynthCommands;
class CSynthMemoryTracker;
class IBankAccess;
class ICommandHost;
class QAction;

// How one slot of several fared.
struct CSlotOutcome {
    int slot = 0;
    bool sent = false;   // false: not sent (cancelled, or the synthesizer had stopped answering)
    CSlotWriteResult result;
};

class CChangedSlotsCommand : public QObject {
    Q_OBJECT
public:
    CChangedSlotsCommand(ICommandHost& host, IBankAccess& bank, CSynthCommands& synth, CSynthMemoryTracker& memory,
                         const CUiServices& services);

    QAction* Action() const;
    // Tests shorten the wait for each answer.
    void SetAnswerWaitForTests(unsigned int answerMs) { m_answerMs = answerMs; }

    void OnBankSendChanged();
    void OnUpdateBankSendChanged(CCmdUI& cmdUI);

    // The slots of `bank` that differ from `memory` in any byte, name included.
    static std::vector<int> ChangedSlots(const CBank& bank, const CBank& memory);
    // The result's text: a line for what was written, refused, not answered and not sent.
    static QString OutcomeText(const std::vector<CSlotOutcome>& outcomes);

private:
    void OnSent(const CBank& bank, const std::vector<CSlotOutcome>& outcomes);

    ICommandHost& m_host;
    IBankAccess& m_bank;
    CSynthCommands& m_synth;
    CSynthMemoryTracker& m_memory;
    CUiServices m_services;
    CCommandTable m_commands;
    unsigned int m_answerMs = SLOT_WRITE_ANSWER_MS;
};
