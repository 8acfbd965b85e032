#include "FindSynthCommand.h"

#include "MidiOperation.h"
#include "MidiPortModel.h"
#include "Resources.h"
#include "SynthCommands.h"
#include "host/CommandHost.h"
#include "host/MidiLink.h"
#include "services/MessageBoxService.h"
#include "services/QuestionService.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

#include <memory>

namespace {
// How long the status bar tells what was found.
constexpr int FOUND_NOTE_MS = 15000;
}  // namespace

CFindSynthCommand::CFindSynthCommand(ICommandHost& host, IMidiLink& midi, CSynthCommands& synth,
                                     IMidiInService& midiIn, const CUiServices& services)
    : QObject(host.Window()), m_host(host), m_midi(midi), m_synth(synth), m_midiIn(midiIn), m_services(services),
      m_commands(host.Window(), host.Updater())
{
    m_commands.Add(ID_PROGRAM_FIND_SYNTH, "Find Synt&hesizer", [this] { OnProgramFindSynth(); },
                   [this](CCmdUI& ui) { OnUpdateProgramFindSynth(ui); });
    if (QMenu* program = m_host.Menu(HostMenu::Program)) {
        // First of the commands that talk with the synthesizer, before Receive from Synth.
        QMenu* receive = m_synth.ReceiveMenu();
        program->insertAction(receive != nullptr ? receive->menuAction() : nullptr, Action());
    }
}

QAction* CFindSynthCommand::Action() const
{
    return m_commands.Find(ID_PROGRAM_FIND_SYNTH);
}

void CFindSynthCommand::OnUpdateProgramFindSynth(CCmdUI& cmdUI)
{
    // With MIDI off too: that is when it is needed most.
    cmdUI.Enable(!m_synth.IsRunning());
}

void CFindSynthCommand::OnProgramFindSynth()
{
    if (m_synth.IsRunning())
        return;
    IMidiOutService& out = m_midi.MidiService();
    IMidiInService& in = m_midiIn;
    const std::vector<CMidiPortItem> ports = InquiryPorts(out);
    const unsigned int listenMs = m_listenMs;
    auto search = std::make_shared<CSynthSearch>();
    const QString text = ports.size() == 1
                             ? QString("Looking for the synthesizer on %1...").arg(QString::fromStdString(ports[0].name))
                             : QString("Looking for the synthesizer on %1 MIDI ports...").arg(ports.size());
    m_synth.Operation().Start(
        1, [text](std::size_t, std::size_t) { return text; },
        [&out, &in, ports, listenMs, search](const std::atomic<bool>& cancel, const CMidiOperation::Progress&) {
            *search = FindSynthesizers(out, in, ports, &cancel, listenMs);
        },
        [this, search](bool aborted) {
            if (!aborted && !search->cancelled)
                OnSearched(*search);
        });
}

void CFindSynthCommand::OnSearched(const CSynthSearch& search)
{
    if (search.found.empty()) {
        m_services.messageBox->Show(m_host.Window(), QString::fromStdString(NoSynthFoundText(search)),
                                    MessageIcon::Exclamation);
        return;
    }
    if (search.found.size() == 1) {
        Choose(search.found.front());
        return;
    }
    QStringList choices;
    for (const CFoundSynth& found : search.found)
        choices << QString::fromStdString(FoundSynthChoiceText(found));
    const int picked = QuestionsOf(m_services).AskChoice(
        m_host.Window(), QString("%1 synthesizers answered. Which one should Veltrix use?").arg(choices.size()),
        choices, 0);
    if (picked >= 0 && picked < static_cast<int>(search.found.size()))
        Choose(search.found[static_cast<std::size_t>(picked)]);
}

void CFindSynthCommand::Choose(const CFoundSynth& found)
{
    if (m_midi.MidiPorts().FindPort(found.port) < 0) {
        m_services.messageBox->Show(m_host.Window(),
                                    QString("The MIDI port %1 went away (unplugged or switched off) after the %2 "
                                            "answered on it.")
                                        .arg(QString::fromStdString(found.port.name), QString::fromStdString(found.model)),
                                    MessageIcon::Exclamation);
        return;
    }
    if (m_portChosen)
        m_portChosen(found.port);
    // A port that cannot be opened is told as ticking Midi Active tells it.
    if (m_midi.OpenMidiOn(found.port, found.identity.channel))
        m_host.ShowStatusMessage(QString::fromStdString(FoundSynthText(found)), FOUND_NOTE_MS);
}
