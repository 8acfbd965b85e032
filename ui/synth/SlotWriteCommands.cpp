#include "SlotWriteCommands.h"

#include "MidiTexts.h"
#include "ProgramWrite.h"
#include "Resources.h"
#include "SynthCommands.h"
#include "SynthMemoryTracker.h"
#include "SyxProgram.h"
#include "grid/ProgramGrid.h"
#include "host/BankAccess.h"
#include "host/CommandHost.h"
#include "host/LoadedList.h"
#include "services/MessageBoxService.h"
#include "services/QuestionService.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

#include <memory>

namespace {

QString Slot(int slot)
{
    return QString::fromStdString(SlotLabel(slot));
}

// The slot a library program came from, or -1 (a single program's file).
int SlotOfRecord(const CSyxProgram& program)
{
    const std::string bank = program.GetBankText();
    const int number = std::atoi(program.GetNumberText().c_str());
    if (bank.size() != 1 || bank[0] < 'A' || bank[0] > 'H' || number < 1 || number > BANK_SLOTS_PER_LETTER)
        return -1;
    return (bank[0] - 'A') * BANK_SLOTS_PER_LETTER + number - 1;
}

}  // namespace

QString ProgramNameOf(const CBank::ProgramData& program)
{
    return QString::fromLatin1(CSyxProgram('A', 1, program.data(), PROGRAM_DATA_SIZE, std::string()).GetName().c_str());
}

QString SlotWithProgram(int slot, const CBank* memory)
{
    if (memory == nullptr)
        return Slot(slot);
    return QString("%1 \"%2\"").arg(Slot(slot), ProgramNameOf(memory->GetProgram(slot)));
}

CSlotWriteCommands::CSlotWriteCommands(ICommandHost& host, ILoadedList& library, IBankAccess* bank,
                                       CSynthCommands& synth, CSynthMemoryTracker& memory,
                                       const CUiServices& services)
    : QObject(host.Window()), m_host(host), m_library(library), m_bank(bank), m_synth(synth), m_memory(memory),
      m_services(services), m_commands(host.Window(), host.Updater()), m_answerMs(SLOT_WRITE_ANSWER_MS)
{
    CreateCommands();
    AddToMenus();
}

void CSlotWriteCommands::CreateCommands()
{
    m_commands.Add(ID_PROGRAM_SEND_TO_SLOT, "Send to Synth Sl&ot...", [this] { OnProgramSendToSlot(); },
                   [this](CCmdUI& ui) { OnUpdateProgramSendToSlot(ui); });
    if (m_bank != nullptr)
        m_commands.Add(ID_BANK_SEND_SLOT, "Send Slo&t to Synth", [this] { OnBankSendSlot(); },
                       [this](CCmdUI& ui) { OnUpdateBankSendSlot(ui); });
}

void CSlotWriteCommands::AddToMenus()
{
    if (QMenu* program = m_host.Menu(HostMenu::Program)) {
        // Beside Send Bank to Synth...: the other commands that change the synthesizer's memory.
        const QList<QAction*> items = program->actions();
        const qsizetype bankSend = items.indexOf(m_synth.Action(ID_PROGRAM_SEND_BANK));
        QAction* before = bankSend >= 0 ? items.value(bankSend + 1) : nullptr;
        program->insertAction(before, Action(ID_PROGRAM_SEND_TO_SLOT));
        if (m_bank != nullptr)
            program->insertAction(before, Action(ID_BANK_SEND_SLOT));
    }
    if (CProgramGrid* grid = m_library.Grid()) {
        grid->setContextMenuPolicy(Qt::ActionsContextMenu);
        grid->addAction(Action(ID_PROGRAM_SEND_TO_SLOT));
    }
    if (m_bank != nullptr)
        m_bank->AddSlotCommand(Action(ID_BANK_SEND_SLOT));
}

bool CSlotWriteCommands::CanWriteSlot() const
{
    return m_synth.CanStartTransfer();
}

void CSlotWriteCommands::OnUpdateProgramSendToSlot(CCmdUI& cmdUI)
{
    cmdUI.Enable(CanWriteSlot() && m_library.SelectedPrograms().size() == 1);
}

void CSlotWriteCommands::OnUpdateBankSendSlot(CCmdUI& cmdUI)
{
    cmdUI.Enable(CanWriteSlot() && m_bank != nullptr && m_bank->HasBank() && CBank::IsSlot(m_bank->SelectedSlot()));
}

void CSlotWriteCommands::OnProgramSendToSlot()
{
    const std::vector<const CSyxProgram*> selected = m_library.SelectedPrograms();
    if (selected.size() != 1 || selected.front()->GetLength() != PROGRAM_DATA_SIZE)
        return;
    CBank::ProgramData program{};
    std::copy(selected.front()->GetData(), selected.front()->GetData() + PROGRAM_DATA_SIZE, program.begin());
    SendToSynthSlot(program, SlotOfRecord(*selected.front()));
}

void CSlotWriteCommands::OnBankSendSlot()
{
    if (m_bank == nullptr || !m_bank->HasBank() || !CBank::IsSlot(m_bank->SelectedSlot()))
        return;
    const int slot = m_bank->SelectedSlot();
    WriteSlot(m_bank->Bank()->GetProgram(slot), slot);
}

void CSlotWriteCommands::SendToSynthSlot(const CBank::ProgramData& program, int proposedSlot)
{
    if (!CanWriteSlot())
        return;
    m_memory.Refresh();
    const CBank* memory = m_memory.KnownMemory();
    QStringList choices;
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        choices << (memory != nullptr ? QString("%1  %2").arg(Slot(slot), ProgramNameOf(memory->GetProgram(slot)))
                                    : Slot(slot));
    const int first = CBank::IsSlot(proposedSlot) ? proposedSlot : m_lastSlot;
    const int slot = QuestionsOf(m_services).AskChoice(
        m_host.Window(), QString("Write \"%1\" into which slot of the synthesizer?").arg(ProgramNameOf(program)), choices,
        first);
    if (!CBank::IsSlot(slot))
        return;
    m_lastSlot = slot;
    WriteSlot(program, slot);
}

void CSlotWriteCommands::WriteSlot(const CBank::ProgramData& program, int slot)
{
    if (!CanWriteSlot() || !CBank::IsSlot(slot))
        return;
    m_memory.Refresh();
    const QString question = QString("Replace %1 in the synthesizer with \"%2\"?")
                                 .arg(SlotWithProgram(slot, m_memory.KnownMemory()), ProgramNameOf(program));
    if (!QuestionsOf(m_services).AskConfirm(m_host.Window(), question, "&Replace"))
        return;

    auto result = std::make_shared<CSlotWriteResult>();
    auto channel = std::make_shared<int>(-1);
    const unsigned int answerMs = m_answerMs;
    const QString text = QString("Writing \"%1\" to %2 in the synthesizer...").arg(ProgramNameOf(program), Slot(slot));
    m_synth.StartPortTransfer(
        1, [text](std::size_t, std::size_t) { return text; },
        [program, slot, answerMs, result, channel](const CPortTransfer& port, const std::atomic<bool>& cancel,
                                                   const CMidiOperation::Progress&) {
            *channel = port.channel;
            *result = WriteProgramToSlot(port.out, port.hOut, port.done, port.in, port.hIn, program.data(),
                                         PROGRAM_DATA_SIZE, slot, port.channel, &cancel, answerMs);
        },
        [this, program, slot, result, channel](bool aborted) {
            if (!aborted)
                OnWritten(slot, program, *channel, *result);
        });
}

void CSlotWriteCommands::OnWritten(int slot, const CBank::ProgramData& program, int channel,
                                   const CSlotWriteResult& result)
{
    switch (result.status) {
    case SlotWriteStatus::Written:
        m_memory.OnSlotWritten(slot, program);
        m_services.messageBox->Show(m_host.Window(), QString::fromStdString(result.text), MessageIcon::Information);
        break;
    case SlotWriteStatus::NoAnswer:
        m_services.messageBox->Show(
            m_host.Window(),
            QString("%1\n\nIt had %2 to answer. Check both MIDI cables and that its global MIDI channel is %3. What "
                    "%4 holds now is not known.")
                .arg(QString::fromStdString(result.text), QString::fromStdString(FormatSeconds(m_answerMs)))
                .arg(channel + 1)
                .arg(Slot(slot)),
            MessageIcon::Exclamation);
        break;
    case SlotWriteStatus::Cancelled:
        break;   // the user asked for it
    case SlotWriteStatus::Refused:
    case SlotWriteStatus::MidiError:
        m_services.messageBox->Show(m_host.Window(), QString::fromStdString(result.text), MessageIcon::Exclamation);
        break;
    }
}
