#include "SynthCommands.h"

#include "Bank.h"
#include "MidiOperation.h"
#include "MidiPortModel.h"
#include "MidiTexts.h"
#include "ReceiveDump.h"
#include "Resources.h"
#include "host/BankAccess.h"
#include "host/CommandHost.h"
#include "host/LoadedList.h"
#include "host/MidiLink.h"
#include "services/AtomicSave.h"
#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"
#include "services/QuestionService.h"

#include <QAction>
#include <QDateTime>
#include <QMenu>

#include <memory>
#include <optional>

namespace {
// "the current program", "all 128 programs", "all data": what a receive asks for.
QString WhatIsReceived(DumpKind kind)
{
    switch (kind) {
    case DumpKind::CurrentProgram: return "the current program";
    case DumpKind::AllPrograms: return "all 128 programs";
    case DumpKind::AllData: return "all data";
    }
    return QString();
}

QString Count(std::size_t count)
{
    return QString::fromStdString(FormatCount(count));
}

// A received dump's name in the File column and the bank pane: "Synth 2026-12-07 14:32".
QString ReceivedSourceName()
{
    return "Synth " + QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm");
}

}  // namespace

CSynthCommands::CSynthCommands(ICommandHost& host, IMidiLink& midi, ILoadedList& library, IBankAccess* bank,
                               const CUiServices& services, IMidiInService& midiIn)
    : QObject(host.Window()), m_host(host), m_midi(midi), m_library(library), m_bank(bank), m_services(services),
      m_midiIn(midiIn), m_commands(host.Window(), host.Updater()), m_operation(new CMidiOperation(host.Window()))
{
    CreateCommands();
    AddToMenus();
    m_midi.SetTransfer(this);
}

CSynthCommands::~CSynthCommands()
{
    // The operation outlives this object among the window's children; its end must not
    // come back here.
    m_operation->CancelAndWait();
}

QAction* CSynthCommands::Action(int commandId) const
{
    return m_commands.Find(commandId);
}

void CSynthCommands::CreateCommands()
{
    const auto transfer = [this](CCmdUI& ui) { OnUpdateMidiTransfer(ui); };
    m_commands.Add(ID_PROGRAM_RECEIVE_CURRENT, "&Current Program", [this] { OnReceive(DumpKind::CurrentProgram); },
               transfer);
    m_commands.Add(ID_PROGRAM_RECEIVE_PROGRAMS, "All &Programs", [this] { OnReceive(DumpKind::AllPrograms); },
               transfer);
    m_commands.Add(ID_PROGRAM_RECEIVE_ALL, "All &Data", [this] { OnReceive(DumpKind::AllData); }, transfer);
    m_commands.Add(ID_PROGRAM_RECEIVE_BANK, "Receive Ban&k from Synth", [this] { OnProgramReceiveBank(); }, transfer);
    m_commands.Add(ID_PROGRAM_SEND_BANK, "Se&nd Bank to Synth...", [this] { OnProgramSendBank(); },
               [this](CCmdUI& ui) { OnUpdateProgramSendBank(ui); });
    m_commands.Add(ID_FILE_SAVE_RECEIVED_DUMP, "Save Rec&eived Dump...", [this] { OnFileSaveReceivedDump(); },
               [this](CCmdUI& ui) { OnUpdateFileSaveReceivedDump(ui); });
}

void CSynthCommands::AddToMenus()
{
    QMenu* file = m_host.Menu(HostMenu::File);
    QMenu* program = m_host.Menu(HostMenu::Program);
    if (file != nullptr) {
        // Right after Save Last Random: the other command that saves what came over MIDI.
        const QList<QAction*> items = file->actions();
        const qsizetype last = items.indexOf(m_host.Action(ID_FILE_SAVE_LAST_RANDOM));
        file->insertAction(items.value(last + 1), Action(ID_FILE_SAVE_RECEIVED_DUMP));
    }
    if (program != nullptr) {
        program->addSeparator();
        m_receiveMenu = program->addMenu("Receive from S&ynth");
        m_receiveMenu->setObjectName("receiveMenu");
        for (int id : {ID_PROGRAM_RECEIVE_CURRENT, ID_PROGRAM_RECEIVE_PROGRAMS, ID_PROGRAM_RECEIVE_ALL})
            m_receiveMenu->addAction(Action(id));
        program->addAction(Action(ID_PROGRAM_RECEIVE_BANK));
        program->addAction(Action(ID_PROGRAM_SEND_BANK));
    }
}

void CSynthCommands::SetTimingForTests(const CReceiveTimeouts& timeouts, unsigned int answerMs,
                                       unsigned int wireBytesPerSecond)
{
    m_timeouts = timeouts;
    m_answerMs = answerMs;
    m_wireBytesPerSecond = wireBytesPerSecond;
}

bool CSynthCommands::IsRunning() const
{
    return m_operation->IsRunning();
}

void CSynthCommands::CancelAndWait()
{
    m_operation->CancelAndWait();
}

bool CSynthCommands::CanTransfer() const
{
    return m_midi.IsMidiOpen() && !IsRunning();
}

QString CSynthCommands::TransferNeedsFirst() const
{
    return m_midi.IsMidiOpen() ? NeedsTransferEndFirst() : NeedsMidiFirst();
}

void CSynthCommands::OnUpdateMidiTransfer(CCmdUI& cmdUI)
{
    cmdUI.EnableIf(CanTransfer(), TransferNeedsFirst());
    if (m_receiveMenu != nullptr)
        m_receiveMenu->setEnabled(CanTransfer());
}

void CSynthCommands::OnUpdateProgramSendBank(CCmdUI& cmdUI)
{
    const bool hasBank = m_bank != nullptr && m_bank->HasBank();
    cmdUI.EnableIf(CanTransfer() && hasBank, CanTransfer() ? NeedsBankFirst() : TransferNeedsFirst());
}

void CSynthCommands::OnUpdateFileSaveReceivedDump(CCmdUI& cmdUI)
{
    cmdUI.EnableIf(!m_receivedDump.empty(), NeedsReceiveFirst());
}

void CSynthCommands::ShowFailure(const QString& text)
{
    m_services.messageBox->Show(m_host.Window(), text, MessageIcon::Exclamation);
}

int CSynthCommands::TransferChannel()
{
    const int channel = m_midi.SelectedChannel();
    if (channel < 0)
        ShowFailure("No MIDI channel is chosen. Untick Midi Active, choose the synthesizer's channel in "
                    "the Midi Chan list and tick Midi Active again.");
    return channel;
}

MidiInHandle CSynthCommands::OpenInput()
{
    MidiInHandle hIn = nullptr;
    const CMidiPortItem port = m_midi.MidiPorts().GetSelectedPort();
    const int rc = m_midiIn.OpenInPort(&hIn, port.address, port.productName);
    if (rc == 0 && hIn != nullptr)
        return hIn;
    ShowFailure("Error: Failed to open the MIDI port for receiving. " +
                QString::fromStdString(m_midiIn.GetErrorText(rc)));
    return nullptr;
}

void CSynthCommands::OnReceive(DumpKind kind)
{
    Receive(kind, Destination::Library);
}

void CSynthCommands::OnProgramReceiveBank()
{
    if (!CanTransfer() || m_bank == nullptr || !m_bank->MayReplaceBank())
        return;
    Receive(DumpKind::AllPrograms, Destination::Bank);
}

void CSynthCommands::Receive(DumpKind kind, Destination destination)
{
    if (!CanTransfer())
        return;
    const int channel = TransferChannel();
    if (channel < 0)
        return;
    const MidiInHandle hIn = OpenInput();
    if (hIn == nullptr)
        return;

    IMidiOutService& out = m_midi.MidiService();
    IMidiInService& in = m_midiIn;
    const MidiOutHandle hOut = m_midi.MidiOut();
    const CReceiveTimeouts timeouts = m_timeouts;
    auto result = std::make_shared<CReceiveResult>();
    const QString what = WhatIsReceived(kind);
    const bool started = m_operation->Start(
        GetAnswerSize(kind),
        [what](std::size_t done, std::size_t total) {
            if (done == 0)
                return QString("Asking the synthesizer for %1 and waiting for its answer...").arg(what);
            return QString("Receiving %1 from the synthesizer: %2 of %3 bytes").arg(what, Count(done), Count(total));
        },
        [&out, &in, hOut, hIn, kind, channel, timeouts, result](const std::atomic<bool>& cancel,
                                                             const CMidiOperation::Progress& progress) {
            *result = ReceiveDump(out, hOut, in, hIn, kind, channel, progress, &cancel, timeouts);
        },
        [this, hIn, destination, result](bool aborted) {
            m_midiIn.CloseIn(hIn);
            if (!aborted)
                OnReceived(destination, *result);
        });
    if (!started)
        m_midiIn.CloseIn(hIn);
}

void CSynthCommands::OnReceived(Destination destination, const CReceiveResult& result)
{
    if (result.status == ReceiveStatus::Cancelled)
        return;   // the user asked for it; nothing to tell
    if (result.status != ReceiveStatus::Received) {
        ShowFailure(QString::fromStdString(result.error));
        return;
    }

    const QString name = ReceivedSourceName();
    std::string error;
    if (destination == Destination::Library) {
        if (!m_library.AddLibrarySource(result.bytes, name, error)) {
            ShowFailure(QString::fromStdString(error));
            return;
        }
    } else {
        std::optional<CBank> bank = CBank::ReadBytes(result.bytes.data(), result.bytes.size(), error);
        if (!bank || m_bank == nullptr) {
            ShowFailure(QString::fromStdString(error));
            return;
        }
        m_bank->SetBank(*bank, name);
    }
    m_receivedDump = result.bytes;
    for (const ReceivedHandler& handler : m_receivedHandlers)
        handler(m_receivedDump);
}

void CSynthCommands::OnProgramSendBank()
{
    if (m_bank != nullptr && m_bank->HasBank())
        SendBank(*m_bank->Bank(), m_bank->BankName());
}

void CSynthCommands::SendBank(const CBank& bank, const QString& name)
{
    if (!CanTransfer())
        return;
    const int channel = TransferChannel();
    if (channel < 0)
        return;
    const QString question =
        QString("Send the bank %1 to the synthesizer on MIDI channel %2?\n\nAll 128 programs in the "
                "synthesizer's memory will be replaced by the bank's programs. Programs in the synthesizer "
                "that are not saved elsewhere will be lost.")
            .arg(name)
            .arg(channel + 1);
    if (!QuestionsOf(m_services).AskConfirm(m_host.Window(), question, "&Replace All 128 Programs"))
        return;
    const MidiInHandle hIn = OpenInput();
    if (hIn == nullptr)
        return;

    IMidiOutService& out = m_midi.MidiService();
    IMidiInService& in = m_midiIn;
    CMidiEvent& done = m_midi.MidiDone();
    const MidiOutHandle hOut = m_midi.MidiOut();
    const unsigned int answerMs = m_answerMs;
    const unsigned int wire = m_wireBytesPerSecond;
    auto dump = std::make_shared<const std::vector<unsigned char>>(bank.BuildDump(channel));
    auto result = std::make_shared<CBankSendResult>();
    const bool started = m_operation->Start(
        dump->size(),
        [](std::size_t sent, std::size_t total) {
            if (sent >= total)
                return QString("The bank was sent. Waiting for the synthesizer to store it...");
            return QString("Sending the bank to the synthesizer: %1 of %2 bytes").arg(Count(sent), Count(total));
        },
        [&out, &in, &done, hOut, hIn, dump, channel, answerMs, wire, result](
            const std::atomic<bool>& cancel, const CMidiOperation::Progress& progress) {
            *result = SendBankDump(out, hOut, done, in, hIn, *dump, channel, progress, &cancel, answerMs, wire);
        },
        [this, hIn, result, sent = bank](bool aborted) {
            m_midiIn.CloseIn(hIn);
            if (aborted)
                return;
            if (result->status == BankSendStatus::Completed) {
                for (const BankSentHandler& handler : m_bankSentHandlers)
                    handler(sent);
            }
            OnBankSent(*result);
        });
    if (!started)
        m_midiIn.CloseIn(hIn);
}

bool CSynthCommands::StartPortTransfer(std::size_t total, CMidiOperation::Describe describe, PortWork work,
                                       CMidiOperation::Finished finished)
{
    if (!CanTransfer())
        return false;
    const int channel = TransferChannel();
    if (channel < 0)
        return false;
    const MidiInHandle hIn = OpenInput();
    if (hIn == nullptr)
        return false;
    const CPortTransfer port{m_midi.MidiService(), m_midi.MidiOut(), m_midi.MidiDone(), m_midiIn, hIn, channel};
    const bool started = m_operation->Start(
        total, std::move(describe),
        [port, work = std::move(work)](const std::atomic<bool>& cancel, const CMidiOperation::Progress& progress) {
            work(port, cancel, progress);
        },
        [this, hIn, finished = std::move(finished)](bool aborted) {
            m_midiIn.CloseIn(hIn);
            if (finished)
                finished(aborted);
        });
    if (!started)
        m_midiIn.CloseIn(hIn);
    return started;
}

void CSynthCommands::OnBankSent(const CBankSendResult& result)
{
    if (result.status == BankSendStatus::Completed) {
        m_services.messageBox->Show(m_host.Window(),
                                    "The synthesizer answered: data load completed. Its 128 programs are now "
                                    "those of the bank.",
                                    MessageIcon::Information);
        return;
    }
    ShowFailure(QString::fromStdString(result.error));
}

void CSynthCommands::OnFileSaveReceivedDump()
{
    if (m_receivedDump.empty())
        return;
    const QString path = m_services.fileDialogs->GetSaveFileName(
        m_host.Window(), "SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||", ".SYX");
    if (path.isEmpty())
        return;
    QString reason;
    if (!SaveBytesAtomically(path, m_receivedDump.data(), m_receivedDump.size(), &reason))
        ShowFailure(SaveFailedText(path, reason));
}
