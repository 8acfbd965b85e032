#pragma once
// The Program Editor's live connection to the synthesizer while Midi Active has the port
// open. Outward, it makes the synthesizer's edit buffer the edited program: the first change
// sends the whole program unless the edit buffer is known to hold what was being edited
// (the program last auditioned or received there), then each change goes out as parameter
// changes at the wire's pace (CLiveSender). Inward, on the port's input (opened when
// following, or with the first change where the port can be read), it reads the answers (a refusal gives one note; a first parameter change left unanswered gives one note
// and from then on whole programs, at most every 100 ms) and, while following, what the
// synthesizer sends on its own: knobs turned, a current program dump, a program change.
// The 23s that answer other parts' sends (an audition) are never taken for the editor's.

#include "AnswerTracker.h"
#include "Bank.h"
#include "LiveSender.h"
#include "MidiInService.h"
#include "SynthMessages.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class IMidiLink;
class QSocketNotifier;
class QTimer;

class CEditorLiveLink : public QObject {
    Q_OBJECT
public:
    // The notes it gives, as the status bar shows them.
    static const char* const REFUSED_NOTE;
    static const char* const UNANSWERED_NOTE;

    // Without `midiIn` nothing is read: no answers, no following.
    CEditorLiveLink(IMidiLink& midi, IMidiInService* midiIn, QObject* parent);
    ~CEditorLiveLink() override;

    // Follow Synthesizer: the port's input stays open while MIDI is active, and what the
    // synthesizer sends on its own is told (knobTurned, programReceived, programChosen).
    void SetFollowing(bool following);
    bool IsFollowing() const { return m_following; }
    // After Find Synthesizer found it: for the rest of the session the port's input is read
    // while MIDI is active, and the programs chosen on the synthesizer are told
    // (programChosen) also without following.
    void WatchProgramChanges();
    // Whether a change would go out now: the port is open and no transfer holds it.
    bool IsLive() const;
    bool IsInputOpen() const { return m_input != nullptr; }

    // Makes the synthesizer's edit buffer `wanted`, sending what it lacks of it; nothing
    // while MIDI is off.
    void SendChanges(const CBank::ProgramData& wanted);
    // Sends the whole program to the edit buffer, whatever is known of it.
    void SendProgram(const CBank::ProgramData& program);
    // Asks for the edit buffer (Get from Synthesizer); its dump comes as programReceived
    // with `asked` set, or a note says there was none within two seconds. False, with a
    // note, when the synthesizer cannot be asked now.
    bool RequestEditBuffer();

    // What the synthesizer's edit buffer holds, as Veltrix knows it.
    void KnowEditBuffer(const CBank::ProgramData& program);
    void ForgetEditBuffer();
    const std::optional<CBank::ProgramData>& KnownEditBuffer() const { return m_known; }

    // The sender, for the tests and benchmarks that watch the wire.
    CLiveSender& Sender() { return m_sender; }

signals:
    // Following: a knob turned on the synthesizer sent parameter `number` = `value`.
    void knobTurned(int number, int value);
    // A current program dump from the synthesizer: asked for, or (following) sent on its own.
    void programReceived(const CBank::ProgramData& program, bool asked);
    // Following, or watching: a program chosen on the synthesizer (0-127).
    void programChosen(int program);
    // A note for the status bar.
    void note(const QString& text);

private:
    void OnPortOpened();
    void OnPortClosing();
    // Opens the port's input when it can be read; false (told once) when it cannot.
    bool OpenInput();
    void OpenInputForAnswers();
    void CloseInput();
    void ReadInput();
    void Take(const CSynthMessage& message);
    void OnAnswer(bool taken);
    void ScheduleTick();
    void Tick();

    IMidiLink& m_midi;
    IMidiInService* m_midiIn;
    CLiveSender m_sender;
    bool m_following = false;
    bool m_watchingProgramChanges = false;
    std::optional<CBank::ProgramData> m_known;

    // The answer tracker is told of the editor's sends on the sender's thread, right before
    // they go on the wire, so that it knows of them before their answers can be read.
    std::mutex m_trackerMutex;
    CAnswerTracker m_tracker;
    bool m_wholePrograms = false;   // the synthesizer does not answer parameter changes
    QTimer* m_tick;

    MidiInHandle m_input = nullptr;
    std::atomic<bool> m_reading{false};   // the input is open (the sender's thread asks)
    std::vector<std::unique_ptr<QSocketNotifier>> m_notifiers;
    std::unique_ptr<CSynthMessageReader> m_reader;
    bool m_toldUnreadable = false;
    bool m_awaitingDump = false;
    QTimer* m_dumpWait;
};
