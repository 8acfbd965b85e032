// The Program Editor in the main window, offscreen, with the real MS2000 bank in the list:
// showing the program of the list's current row when it moves (the pane floating at its
// default size, laid out and painted), and the live road to the synthesizer with the test
// MIDI output at wire pace (3,125 bytes a second) and the simulated synthesizer answering:
// a slider dragged through 127 values in one second, and a key held for three seconds.

#include "BenchSummary.h"
#include "FrameTestSupport.h"
#include "ParameterChange.h"
#include "ProgramParameters.h"
#include "Resources.h"
#include "TestMidiInService.h"
#include "TestMidiSynth.h"
#include "LiveSender.h"
#include "editor/EditorCommands.h"
#include "editor/EditorLiveLink.h"
#include "editor/ParameterControl.h"
#include "editor/ProgramEditorPane.h"
#include "grid/ProgramGrid.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char* RealBank()
{
    static const std::string path = std::string(VELTRIX_REALDATA_DIR) + "/ms2000-bank-0x4C.syx";
    return path.c_str();
}

// A shown main window with the real bank in the list and the editor pane floating at its
// default size; MIDI both ways to the simulated synthesizer, the output at wire pace.
class CEditorWindow {
public:
    CEditorWindow()
    {
        m_fixture.midi.AddDevice("Serial MIDI 1", MidiOutKind::HardwarePort, true);
        m_fixture.midi.SetWirePace(MIDI_WIRE_BYTES_PER_SECOND);
        m_synth = std::make_unique<CTestMidiSynth>(m_fixture.midi, m_in);
        m_synth->SetWireRate(MIDI_WIRE_BYTES_PER_SECOND);
        m_fixture.Create(&m_in);
        m_fixture.fileDialogs.nextOpen = {QString::fromLocal8Bit(RealBank())};
        m_fixture.Frame().OnFileOpen();
        m_fixture.Frame().resize(1280, 900);
        m_fixture.Frame().show();
        Editor().OnViewProgramEditor();
        Pane().setFloating(true);
        Pane().resize(CProgramEditorPane::DefaultSize());
        Settle();
    }
    ~CEditorWindow()
    {
        m_fixture.frame.reset();
        m_synth.reset();
    }

    bool Loaded() const { return m_fixture.frame->Programs().GetSize() == 128; }
    CEditorCommands& Editor() { return *m_fixture.features.editor; }
    CProgramEditorPane& Pane() { return *Editor().Pane(); }
    CProgramGrid& Grid() { return *m_fixture.Frame().Grid(); }
    void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        m_fixture.Idle();
    }
    // Moves the list's current row and waits until the pane shows that program, laid out
    // and painted.
    void MoveTo(int row)
    {
        Grid().setCurrentIndex(Grid().model()->index(row, 0));
        const unsigned char* wanted = m_fixture.frame->Programs().GetAt(row)->GetData();
        while (!std::equal(Pane().Program().begin(), Pane().Program().end(), wanted))
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    // Midi Active ticked, and program `row` auditioned: the synthesizer plays what the
    // editor shows.
    void GoLive(int row)
    {
        m_fixture.Frame().findChild<QCheckBox*>("midiActive")->click();
        MoveTo(row);
        m_fixture.Idle();
        m_fixture.Frame().Action(ID_PROGRAM_AUDITION)->trigger();
        Settle();
        Editor().Live().Sender().WaitIdle(std::chrono::seconds(2));
        m_synth->WaitIdle();
        Settle();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sent.clear();
        Editor().Live().Sender().SetSentHandler([this](const CLiveSender::CSent& sent) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_sent.push_back({sent.carriedAt, sent.message});
        });
    }
    struct CSent {
        Clock::time_point carriedAt;   // when the wire had carried it
        std::vector<unsigned char> bytes;
    };
    void ClearSent()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sent.clear();
    }
    std::vector<CSent> Sent()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sent;
    }
    CParameterControl& Control(const char* name) { return *Pane().ControlOf(*FindParameter(ParamSection::Timbre1, name)); }

private:
    CFrameFixture m_fixture;
    CTestMidiInService m_in{m_fixture.midi};
    std::unique_ptr<CTestMidiSynth> m_synth;
    std::mutex m_mutex;
    std::vector<CSent> m_sent;
};

void BM_ShowProgramWhenTheSelectionMoves(benchmark::State& state)
{
    CEditorWindow window;
    if (!window.Loaded()) {
        state.SkipWithError("the real bank did not load");
        return;
    }
    int row = 0;
    window.MoveTo(row);
    for (auto _ : state) {
        row = (row + 1) % 128;
        window.MoveTo(row);
    }
}
BENCHMARK(BM_ShowProgramWhenTheSelectionMoves)->Unit(benchmark::kMillisecond)->Iterations(256);

// What went out for timbre 1's Cutoff (parameter change 055): how many messages and the
// value of the last, and when the last had crossed the wire.
struct CCutoffSends {
    int count = 0;
    int lastValue = -1;
    Clock::time_point lastCarried{};
    int afterLast = 0;   // messages that started after the last value's
};

CCutoffSends CutoffSends(const std::vector<CEditorWindow::CSent>& sent)
{
    CCutoffSends result;
    for (const CEditorWindow::CSent& message : sent) {
        int channel = 0, number = 0, value = 0;
        if (ParseParameterChange(message.bytes.data(), message.bytes.size(), channel, number, value) && number == 0x055) {
            ++result.count;
            result.lastValue = value;
            result.lastCarried = message.carriedAt;
            result.afterLast = 0;
        } else {
            ++result.afterLast;
        }
    }
    return result;
}

void BM_SliderDraggedThrough127ValuesInOneSecond(benchmark::State& state)
{
    CEditorWindow window;
    window.GoLive(0);
    auto* slider = window.Control("Cutoff").Field()->findChild<QSlider*>();
    std::size_t mostWaiting = 0;
    std::vector<double> lastSentMs;
    double afterLast = 0, sent = 0;
    bool lastValueSent = true;
    for (auto _ : state) {
        window.ClearSent();
        slider->setSliderDown(true);
        const Clock::time_point start = Clock::now();
        Clock::time_point lastChange;
        for (int value = 1; value <= 127; ++value) {
            const Clock::time_point due = start + std::chrono::microseconds(1000000LL * (value - 1) / 127);
            while (Clock::now() < due)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            slider->setValue(value);
            lastChange = Clock::now();
            mostWaiting = std::max(mostWaiting, window.Editor().Live().Sender().Waiting());
        }
        slider->setSliderDown(false);
        window.Editor().Live().Sender().WaitIdle(std::chrono::seconds(2));
        // Anything that would still go out, late, would go in this time.
        const Clock::time_point quiet = Clock::now() + std::chrono::milliseconds(200);
        while (Clock::now() < quiet)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const CCutoffSends sends = CutoffSends(window.Sent());
        lastValueSent = lastValueSent && sends.lastValue == 127;
        lastSentMs.push_back(std::chrono::duration<double, std::milli>(sends.lastCarried - lastChange).count());
        afterLast = std::max(afterLast, static_cast<double>(sends.afterLast));
        sent = sends.count;
        slider->setValue(0);
        window.Editor().Live().Sender().WaitIdle(std::chrono::seconds(2));
        window.Settle();
    }
    state.counters["most_waiting"] = static_cast<double>(mostWaiting);
    // The median drag, and the slowest (a loaded machine may not wake the sending thread at once).
    std::sort(lastSentMs.begin(), lastSentMs.end());
    state.counters["last_sent_ms_after_last_change"] = lastSentMs[lastSentMs.size() / 2];
    state.counters["slowest_drag_ms"] = lastSentMs.back();
    state.counters["sent_after_the_last_value"] = afterLast;
    state.counters["changes_sent"] = sent;
    state.counters["last_value_sent"] = lastValueSent ? 1 : 0;
}
BENCHMARK(BM_SliderDraggedThrough127ValuesInOneSecond)->Unit(benchmark::kMillisecond)->Iterations(5);

// A key held: the press, then the auto-repeat of a desktop (after 500 ms, 30 a second) for
// three seconds, then the release.
void BM_KeyHeldThreeSecondsOnASpinBox(benchmark::State& state)
{
    CEditorWindow window;
    window.GoLive(0);
    QWidget* spin = window.Control("Cutoff").FocusWidget();
    spin->setFocus();
    double waitingAtRelease = 0, idleAfterMs = 0, repeats = 0;
    int up = 0;
    for (auto _ : state) {
        const Qt::Key key = up++ % 2 == 0 ? Qt::Key_Down : Qt::Key_Up;
        const Clock::time_point start = Clock::now();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(spin, &press);
        Clock::time_point next = start + std::chrono::milliseconds(500);
        int count = 0;
        while (Clock::now() < start + std::chrono::seconds(3)) {
            while (Clock::now() < next)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(spin, &repeat);
            next += std::chrono::microseconds(33333);
            ++count;
        }
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(spin, &release);
        const Clock::time_point released = Clock::now();
        waitingAtRelease = std::max(waitingAtRelease, static_cast<double>(window.Editor().Live().Sender().Waiting()));
        window.Editor().Live().Sender().WaitIdle(std::chrono::seconds(2));
        idleAfterMs = std::max(idleAfterMs, std::chrono::duration<double, std::milli>(Clock::now() - released).count());
        repeats = count;
        window.Settle();
    }
    state.counters["waiting_at_release"] = waitingAtRelease;
    state.counters["all_sent_ms_after_release"] = idleAfterMs;
    state.counters["repeats"] = repeats;
}
BENCHMARK(BM_KeyHeldThreeSecondsOnASpinBox)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (!QFile::exists(QString::fromLocal8Bit(RealBank()))) {
        std::fprintf(stderr, "no real dumps at %s\n", VELTRIX_REALDATA_DIR);
        return 1;
    }
    // One parameter change takes 3.2 ms on the wire (10 bytes); the last must be across
    // within that and 2 ms of the last change.
    const std::vector<CBenchCheck> checks = {
        TimeCheck("Program shown in the editor when the list's selection moves", "BM_ShowProgramWhenTheSelectionMoves/iterations:256",
                  "", 0, 16),
        CounterCheck("Slider, 127 values in 1 s: most messages waiting", "BM_SliderDraggedThrough127ValuesInOneSecond/iterations:5",
                     "most_waiting", 2, ""),
        CounterCheck("Slider: the last value across the wire after the last change (median drag)",
                     "BM_SliderDraggedThrough127ValuesInOneSecond/iterations:5", "last_sent_ms_after_last_change", 5.2, "ms"),
        CounterCheck("Slider: messages sent after the last value", "BM_SliderDraggedThrough127ValuesInOneSecond/iterations:5",
                     "sent_after_the_last_value", 1, ""),
        CounterCheck("Key held 3 s on a spin box: messages waiting at its release", "BM_KeyHeldThreeSecondsOnASpinBox/iterations:2",
                     "waiting_at_release", 1, ""),
    };
    return RunBenchmarksWithChecks(argc, argv, checks);
}
