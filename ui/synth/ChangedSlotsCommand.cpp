#include "ChangedSlotsCommand.h"

#include "Resources.h"
#include "SlotWriteCommands.h"
#include "SynthCommands.h"
#include "SynthMemoryTracker.h"
#include "host/BankAccess.h"
#include "host/CommandHost.h"
#include "services/MessageBoxService.h"
#include "services/QuestionService.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

#include <memory>

namespace {

// The longest list of slots a question shows; the rest are counted.
constexpr int QUESTION_LINES = 16;

QString Slot(int slot)
{
    return QString::fromStdString(SlotLabel(slot));
}

QString Plural(int count, const char* one, const char* many)
{
    return QString("%1 %2").arg(count).arg(count == 1 ? one : many);
}

}  // namespace

CChangedSlotsCommand::CChangedSlotsCommand(ICommandHost& host, IBankAccess& bank, CSynthCommands& synth,
                                           CSynthMemoryTracker& memory, const CUiServices& services)
    : QObject(host.Window()), m_host(host), m_bank(bank), m_synth(synth), m_memory(memory), m_services(services),
      m_commands(host.Window(), host.Updater())
{
    m_commands.Add(ID_BANK_SEND_CHANGED, "Send Chan&ged Slots to Synth", [this] { OnBankSendChanged(); },
                   [this](CCmdUI& ui) { OnUpdateBankSendChanged(ui); });
    if (QMenu* program = m_host.Menu(HostMenu::Program)) {
        // Right after Send Bank to Synth...: the same bank, only what changed.
        const QList<QAction*> items = program->actions();
        const qsizetype bankSend = items.indexOf(m_synth.Action(ID_PROGRAM_SEND_BANK));
        program->insertAction(bankSend >= 0 ? items.value(bankSend + 1) : nullptr, Action());
    }
}

QAction* CChangedSlotsCommand::Action() const
{
    return m_commands.Find(ID_BANK_SEND_CHANGED);
}

void CChangedSlotsCommand::OnUpdateBankSendChanged(CCmdUI& cmdUI)
{
    cmdUI.Enable(m_synth.CanStartTransfer() && m_bank.HasBank());
}

std::vector<int> CChangedSlotsCommand::ChangedSlots(const CBank& bank, const CBank& memory)
{
    std::vector<int> changed;
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        if (bank.GetProgram(slot) != memory.GetProgram(slot))
            changed.push_back(slot);
    return changed;
}

void CChangedSlotsCommand::OnBankSendChanged()
{
    if (!m_synth.CanStartTransfer() || !m_bank.HasBank())
        return;
    const CBank bank = *m_bank.Bank();
    const QString bankName = m_bank.BankName();
    m_memory.Refresh();
    const CBank* memory = m_memory.KnownMemory();
    if (memory == nullptr) {
        const QString text =
            "Veltrix does not know what the synthesizer's memory holds: it has neither received the synthesizer's "
            "128 programs nor sent it a bank, so it cannot tell which slots differ.\n\nSend the whole bank instead?";
        if (QuestionsOf(m_services).AskConfirm(m_host.Window(), text, "Send &Bank to Synth..."))
            m_synth.SendBank(bank, bankName);
        return;
    }
    const std::vector<int> changed = ChangedSlots(bank, *memory);
    if (changed.empty()) {
        m_services.messageBox->Show(m_host.Window(),
                                    QString("No slot of the bank differs from the synthesizer's memory as Veltrix "
                                            "knows it (from %1): nothing was sent.")
                                        .arg(m_memory.KnownMemoryOrigin()),
                                    MessageIcon::Information);
        return;
    }

    const int count = static_cast<int>(changed.size());
    QStringList lines;
    for (int i = 0; i < count && i < QUESTION_LINES; ++i)
        lines << QString("%1 with \"%2\"").arg(SlotWithProgram(changed[i], memory),
                                               ProgramNameOf(bank.GetProgram(changed[i])));
    if (count > QUESTION_LINES)
        lines << QString("... and %1 more").arg(count - QUESTION_LINES);
    const QString question =
        QString("Replace %1 in the synthesizer with the bank's?\n\n%2\n\nVeltrix knows the synthesizer's memory from "
                "%3; its other %4 hold the bank's programs already.")
            .arg(count == 1 ? QString("this program") : QString("these %1 programs").arg(count), lines.join('\n'),
                 m_memory.KnownMemoryOrigin(), Plural(BANK_SLOT_COUNT - count, "slot", "slots"));
    if (!QuestionsOf(m_services).AskConfirm(m_host.Window(), question,
                                            count == 1 ? QString("&Replace 1 Program")
                                                       : QString("&Replace %1 Programs").arg(count)))
        return;

    auto outcomes = std::make_shared<std::vector<CSlotOutcome>>();
    for (int slot : changed)
        outcomes->push_back({slot, false, {SlotWriteStatus::Cancelled, std::string()}});
    const unsigned int answerMs = m_answerMs;
    const auto labels = std::make_shared<QStringList>();
    for (int slot : changed)
        *labels << QString("%1 \"%2\"").arg(Slot(slot), ProgramNameOf(bank.GetProgram(slot)));
    m_synth.StartPortTransfer(
        changed.size(),
        [labels](std::size_t done, std::size_t total) {
            if (done >= total)
                return QString("All %1 slots were sent.").arg(total);
            return QString("Writing %1 to the synthesizer (%2 of %3)...").arg(labels->value(static_cast<int>(done)))
                .arg(done + 1)
                .arg(total);
        },
        [bank, outcomes, answerMs](const CPortTransfer& port, const std::atomic<bool>& cancel,
                                   const CMidiOperation::Progress& progress) {
            const std::size_t total = outcomes->size();
            for (std::size_t i = 0; i < total; ++i) {
                if (cancel)
                    break;   // between slots: the rest stay as they are
                progress(i, total);
                CSlotOutcome& outcome = (*outcomes)[i];
                const CBank::ProgramData& program = bank.GetProgram(outcome.slot);
                outcome.result = WriteProgramToSlot(port.out, port.hOut, port.done, port.in, port.hIn, program.data(),
                                                    PROGRAM_DATA_SIZE, outcome.slot, port.channel, &cancel, answerMs);
                // Cancelled while the edit buffer's answer was awaited: no write request went out.
                outcome.sent = outcome.result.status != SlotWriteStatus::Cancelled;
                // Without an answer the synthesizer is not listening: the rest would fare no better.
                if (outcome.result.status == SlotWriteStatus::NoAnswer ||
                    outcome.result.status == SlotWriteStatus::MidiError)
                    break;
            }
            progress(total, total);
        },
        [this, bank, outcomes](bool aborted) {
            if (!aborted)
                OnSent(bank, *outcomes);
        });
}

void CChangedSlotsCommand::OnSent(const CBank& bank, const std::vector<CSlotOutcome>& outcomes)
{
    bool allWritten = true;
    for (const CSlotOutcome& outcome : outcomes) {
        if (outcome.sent && outcome.result.status == SlotWriteStatus::Written)
            m_memory.OnSlotWritten(outcome.slot, bank.GetProgram(outcome.slot));
        else
            allWritten = false;
    }
    m_memory.MarkBankAsTheSynths();
    m_services.messageBox->Show(m_host.Window(), OutcomeText(outcomes),
                                allWritten ? MessageIcon::Information : MessageIcon::Exclamation);
}

QString CChangedSlotsCommand::OutcomeText(const std::vector<CSlotOutcome>& outcomes)
{
    QStringList written, refused, unanswered, failed, notSent;
    QString failure;
    for (const CSlotOutcome& outcome : outcomes) {
        const QString slot = Slot(outcome.slot);
        if (!outcome.sent) {
            notSent << slot;
            continue;
        }
        switch (outcome.result.status) {
        case SlotWriteStatus::Written: written << slot; break;
        case SlotWriteStatus::Refused: refused << slot; break;
        case SlotWriteStatus::NoAnswer: unanswered << slot; break;
        case SlotWriteStatus::MidiError:
        case SlotWriteStatus::Cancelled:
            failed << slot;
            failure = QString::fromStdString(outcome.result.text);
            break;
        }
    }
    const int total = static_cast<int>(outcomes.size());
    QStringList lines;
    if (written.size() == total)
        lines << (total == 1 ? QString("The changed slot was written.")
                             : QString("All %1 changed slots were written.").arg(total));
    else
        lines << QString("%1 of %2 written.").arg(written.size()).arg(Plural(total, "changed slot was", "changed slots were"));
    lines << QString();
    if (!written.isEmpty())
        lines << QString("Written to %1").arg(written.join(", "));
    if (!refused.isEmpty())
        lines << QString("The synthesizer refused the write (memory protect on?): %1").arg(refused.join(", "));
    if (!unanswered.isEmpty())
        lines << QString("No answer from the synthesizer: %1 (what it holds now is not known)").arg(unanswered.join(", "));
    if (!failed.isEmpty())
        lines << QString("%1: %2").arg(failure, failed.join(", "));
    if (!notSent.isEmpty())
        lines << QString("Not sent: %1").arg(notSent.join(", "));
    return lines.join('\n');
}
