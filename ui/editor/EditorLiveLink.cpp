#include "EditorLiveLink.h"

#include "DumpRequest.h"
#include "LiveEdit.h"
#include "MidiPortModel.h"
#include "ProgramSender.h"
#include "SyxProgram.h"
#include "host/MidiLink.h"

#include <QSocketNotifier>
#include <QTimer>

#include <chrono>

namespace {
// Whole programs, once parameter changes go unanswered, at most this often.
constexpr auto WHOLE_PROGRAM_INTERVAL = std::chrono::milliseconds(100);
constexpr int DUMP_WAIT_MS = 2000;
}  // namespace

const char* const CEditorLiveLink::REFUSED_NOTE =
    "The synthesizer refused the change: memory protect on, or a value it does not take";
const char* const CEditorLiveLink::UNANSWERED_NOTE =
    "The synthesizer does not answer parameter changes: is SysEx enabled in its Global MIDI filter?";

CEditorLiveLink::CEditorLiveLink(IMidiLink& midi, IMidiInService* midiIn, QObject* parent)
    : QObject(parent), m_midi(midi), m_midiIn(midiIn), m_tick(new QTimer(this)), m_dumpWait(new QTimer(this))
{
    m_tick->setSingleShot(true);
    connect(m_tick, &QTimer::timeout, this, &CEditorLiveLink::Tick);
    m_dumpWait->setSingleShot(true);
    m_dumpWait->setInterval(DUMP_WAIT_MS);
    connect(m_dumpWait, &QTimer::timeout, this, [this] {
        m_awaitingDump = false;
        emit note("No answer from the synthesizer: its edit buffer did not come");
    });
    // Noted before it goes out: its answer cannot come before the tracker knows of it.
    m_sender.SetSendingHandler([this](const CLiveSender::CSent& sent) {
        if (sent.kind == CLiveSender::Kind::Other || !m_reading)
            return;   // no answer to wait for: a request, or nothing is read
        std::lock_guard<std::mutex> lock(m_trackerMutex);
        m_tracker.Sent(CAnswerTracker::Sender::Editor, sent.kind == CLiveSender::Kind::ParameterChange,
                       sent.carriedAt);
        QMetaObject::invokeMethod(this, [this] { ScheduleTick(); }, Qt::QueuedConnection);
    });
    m_midi.WhenPortOpenedOrClosing([this](bool opened) {
        if (opened)
            OnPortOpened();
        else
            OnPortClosing();
    });
    m_midi.WhenProgramSent([this](const CBank::ProgramData& program, bool) {
        m_known = program;
        if (m_input != nullptr) {
            std::lock_guard<std::mutex> lock(m_trackerMutex);
            m_tracker.Sent(CAnswerTracker::Sender::Other, false, CAnswerTracker::Clock::now());
        }
    });
    if (m_midi.IsMidiOpen())
        OnPortOpened();
}

CEditorLiveLink::~CEditorLiveLink()
{
    m_sender.Stop();
    CloseInput();
}

bool CEditorLiveLink::IsLive() const
{
    return m_midi.IsMidiOpen() && m_sender.IsStarted() && !m_midi.IsTransferRunning();
}

void CEditorLiveLink::OnPortOpened()
{
    const int channel = m_midi.SelectedChannel();
    m_sender.Start(m_midi.MidiService(), m_midi.MidiOut(), channel < 0 ? MIDI_DEFAULT_CHANNEL : channel);
    m_sender.SetProgramInterval(CLiveSender::Clock::duration::zero());
    {
        std::lock_guard<std::mutex> lock(m_trackerMutex);
        m_tracker.Reset();
    }
    m_wholePrograms = false;
    m_known.reset();
    m_toldUnreadable = false;
    if (m_following)
        OpenInput();
    else if (m_watchingProgramChanges)
        OpenInputForAnswers();
}

void CEditorLiveLink::OnPortClosing()
{
    m_sender.Stop();
    CloseInput();
    m_known.reset();
    m_tick->stop();
    m_dumpWait->stop();
    m_awaitingDump = false;
}

void CEditorLiveLink::SetFollowing(bool following)
{
    m_following = following;
    if (following && m_midi.IsMidiOpen())
        OpenInput();
}

void CEditorLiveLink::WatchProgramChanges()
{
    m_watchingProgramChanges = true;
    if (m_midi.IsMidiOpen())
        OpenInputForAnswers();
}

bool CEditorLiveLink::OpenInput()
{
    if (m_input != nullptr)
        return true;
    if (m_midiIn == nullptr || !m_midi.IsMidiOpen())
        return false;
    const CMidiPortItem port = m_midi.MidiPorts().GetSelectedPort();
    MidiInHandle input = nullptr;
    const int rc = m_midiIn->OpenInPort(&input, port.address, port.productName);
    if (rc != 0 || input == nullptr) {
        if (!m_toldUnreadable && m_following)
            emit note(QString("%1 cannot be read (%2): to follow the synthesizer, its MIDI out must come back to "
                              "this port")
                          .arg(QString::fromStdString(port.name), QString::fromStdString(m_midiIn->GetErrorText(rc))));
        m_toldUnreadable = true;
        return false;
    }
    m_input = input;
    m_reading = true;
    const int channel = m_midi.SelectedChannel();
    m_reader = std::make_unique<CSynthMessageReader>(channel < 0 ? MIDI_DEFAULT_CHANNEL : channel);
    for (const pollfd& descriptor : m_midiIn->GetPollDescriptors(m_input)) {
        auto notifier = std::make_unique<QSocketNotifier>(descriptor.fd, QSocketNotifier::Read);
        connect(notifier.get(), &QSocketNotifier::activated, this, &CEditorLiveLink::ReadInput);
        m_notifiers.push_back(std::move(notifier));
    }
    return true;
}

void CEditorLiveLink::OpenInputForAnswers()
{
    // Answers are read where the port can be read, also without following; the input stays
    // open until MIDI closes.
    if (m_midiIn != nullptr && m_input == nullptr && m_midi.MidiPorts().GetSelectedPort().canRead)
        OpenInput();
}

void CEditorLiveLink::CloseInput()
{
    m_reading = false;
    m_notifiers.clear();
    if (m_input != nullptr && m_midiIn != nullptr)
        m_midiIn->CloseIn(m_input);
    m_input = nullptr;
    m_reader.reset();
}

void CEditorLiveLink::ReadInput()
{
    if (m_input == nullptr)
        return;
    std::vector<unsigned char> bytes;
    if (m_midiIn->ReadBytes(m_input, bytes) != 0) {
        CloseInput();   // the port went away: the window closes MIDI and says so
        return;
    }
    std::vector<CSynthMessage> messages;
    m_reader->Take(bytes.data(), bytes.size(), messages);
    for (const CSynthMessage& message : messages)
        Take(message);
}

void CEditorLiveLink::Take(const CSynthMessage& message)
{
    switch (message.kind) {
    case SynthMessageKind::DataLoadCompleted: OnAnswer(true); break;
    case SynthMessageKind::DataLoadError:
    case SynthMessageKind::DataFormatError: OnAnswer(false); break;
    case SynthMessageKind::ParameterChange:
        // The edit buffer changed there; the editor follows only when asked to.
        if (m_known && !ApplyParameterChange(m_known->data(), message.number, message.value))
            m_known.reset();
        if (m_following)
            emit knobTurned(message.number, message.value);
        break;
    case SynthMessageKind::CurrentProgram: {
        CBank::ProgramData program;
        std::copy(message.data.begin(), message.data.begin() + PROGRAM_DATA_SIZE, program.begin());
        m_known = program;
        if (m_awaitingDump) {
            m_awaitingDump = false;
            m_dumpWait->stop();
            emit programReceived(program, true);
        } else if (m_following && !m_midi.IsTransferRunning()) {
            emit programReceived(program, false);   // a receive's own answer is the receive's
        }
        break;
    }
    case SynthMessageKind::ProgramChange:
        m_known.reset();   // another program of its memory, which the receiver may know
        if (m_following || m_watchingProgramChanges)
            emit programChosen(message.program);
        break;
    }
}

void CEditorLiveLink::OnAnswer(bool taken)
{
    CAnswerTracker::Event event = CAnswerTracker::Event::None;
    {
        std::lock_guard<std::mutex> lock(m_trackerMutex);
        event = m_tracker.Answer(taken, CAnswerTracker::Clock::now());
    }
    if (event == CAnswerTracker::Event::Refused) {
        m_known.reset();   // it kept what it had, whatever that is
        emit note(REFUSED_NOTE);
    }
}

void CEditorLiveLink::ScheduleTick()
{
    CAnswerTracker::Clock::time_point next;
    {
        std::lock_guard<std::mutex> lock(m_trackerMutex);
        next = m_tracker.NextDeadline();
    }
    if (next == CAnswerTracker::Clock::time_point::max())
        return;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - CAnswerTracker::Clock::now());
    m_tick->start(static_cast<int>(std::max<long long>(0, wait.count()) + 1));
}

void CEditorLiveLink::Tick()
{
    CAnswerTracker::Event event = CAnswerTracker::Event::None;
    {
        std::lock_guard<std::mutex> lock(m_trackerMutex);
        event = m_tracker.Tick(CAnswerTracker::Clock::now());
    }
    if (event == CAnswerTracker::Event::Unanswered) {
        m_wholePrograms = true;
        m_sender.SetProgramInterval(WHOLE_PROGRAM_INTERVAL);
        emit note(UNANSWERED_NOTE);
    }
    ScheduleTick();
}

void CEditorLiveLink::SendChanges(const CBank::ProgramData& wanted)
{
    if (!IsLive()) {
        if (m_midi.IsTransferRunning())
            m_known.reset();   // what the transfer leaves there is not known
        return;
    }
    if (m_known && *m_known == wanted)
        return;
    OpenInputForAnswers();
    const CLiveEditPlan plan = PlanLiveEdit(m_known ? m_known->data() : nullptr, wanted.data());
    if (plan.wholeProgram || m_wholePrograms) {
        m_sender.SendProgram(wanted.data());
    } else {
        for (const CParameterChangeValue& change : plan.changes)
            m_sender.SendParameter(change.number, change.value);
    }
    m_known = wanted;
}

void CEditorLiveLink::SendProgram(const CBank::ProgramData& program)
{
    if (!IsLive())
        return;
    OpenInputForAnswers();
    m_sender.SendProgram(program.data());
    m_known = program;
}

bool CEditorLiveLink::RequestEditBuffer()
{
    if (!IsLive()) {
        emit note("Tick Midi Active first: the synthesizer is asked through its port");
        return false;
    }
    if (!OpenInput()) {
        emit note("The MIDI port cannot be read: the synthesizer's answer cannot come back");
        return false;
    }
    m_awaitingDump = true;
    m_dumpWait->start();
    m_sender.SendMessage(BuildDumpRequest(DumpKind::CurrentProgram, m_sender.Channel()));
    return true;
}

void CEditorLiveLink::KnowEditBuffer(const CBank::ProgramData& program)
{
    m_known = program;
}

void CEditorLiveLink::ForgetEditBuffer()
{
    m_known.reset();
}
