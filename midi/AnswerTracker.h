#pragma once
// Which of the synthesizer's answers belong to an editor's messages. The synthesizer answers
// every current program dump and every parameter change it receives with 23 (data load
// completed) or 24 (data load error), in order, whoever sent them: an audition's 23 comes
// back on the same input as the answer to a parameter change. So every message that will be
// answered is noted as it goes out, the editor's and the others', and each answer is given to
// the oldest one still waiting; an answer to another's message means nothing to the editor.
// A waiting message that gets no answer in time is given up, so that one lost answer does not
// shift every later one.
//
// From the answers it tells: a refusal of the editor's message (once, until the synthesizer
// takes one again), and a first parameter change that got no answer at all within its wait
// (the synthesizer does not answer parameter changes, or does not get SysEx). Nothing of
// Qt; the time is given with each call.

#include <chrono>
#include <deque>

class CAnswerTracker {
public:
    using Clock = std::chrono::steady_clock;
    // How long the first parameter change waits for its answer.
    static constexpr std::chrono::milliseconds FIRST_ANSWER_WAIT{500};
    // How long any other message's answer may be awaited before it is given up.
    static constexpr std::chrono::milliseconds ANSWER_WAIT{1500};

    enum class Sender { Editor, Other };
    enum class Event {
        None,
        Refused,       // the synthesizer refused a message of the editor (24 or 26)
        Unanswered,    // the first parameter change got no answer within FIRST_ANSWER_WAIT
    };

    // Nothing is known of how the synthesizer answers (a new connection).
    void Reset();
    // A message the synthesizer answers went out at `at`: one of the editor's (`parameterChange`
    // when it was a parameter change) or someone else's (an audition).
    void Sent(Sender sender, bool parameterChange, Clock::time_point at);
    // An answer arrived: `taken` for 23, false for 24 or 26.
    Event Answer(bool taken, Clock::time_point at);
    // Time passed: gives Unanswered once the first parameter change's wait has run out.
    Event Tick(Clock::time_point now);
    // When Tick should be called next, or Clock::time_point::max() when nothing waits.
    Clock::time_point NextDeadline() const;

    // Whether parameter changes are worth sending: false once the first one went
    // unanswered (send whole programs instead).
    bool ParameterChangesAnswered() const { return m_state != State::Silent; }

private:
    enum class State { Unknown, FirstWaiting, Answering, Silent };
    struct CWaiting {
        Sender sender;
        bool parameterChange;
        Clock::time_point deadline;
    };
    void DropExpired(Clock::time_point now);

    std::deque<CWaiting> m_waiting;
    State m_state = State::Unknown;
    Clock::time_point m_firstDeadline{};
    bool m_refusedTold = false;
};
