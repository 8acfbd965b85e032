#include "AnswerTracker.h"

void CAnswerTracker::Reset()
{
    m_waiting.clear();
    m_state = State::Unknown;
    m_refusedTold = false;
}

void CAnswerTracker::Sent(Sender sender, bool parameterChange, Clock::time_point at)
{
    DropExpired(at);
    const bool first = sender == Sender::Editor && parameterChange && m_state == State::Unknown;
    if (first) {
        m_state = State::FirstWaiting;
        m_firstDeadline = at + FIRST_ANSWER_WAIT;
    }
    m_waiting.push_back({sender, parameterChange, at + (first ? FIRST_ANSWER_WAIT : ANSWER_WAIT)});
}

CAnswerTracker::Event CAnswerTracker::Answer(bool taken, Clock::time_point at)
{
    DropExpired(at);
    if (m_waiting.empty())
        return Event::None;   // an answer to nothing that was noted: it tells nothing
    const CWaiting answered = m_waiting.front();
    m_waiting.pop_front();
    if (answered.sender != Sender::Editor)
        return Event::None;
    // Any parameter change of the editor answered shows that they are.
    if (answered.parameterChange && m_state == State::FirstWaiting)
        m_state = State::Answering;
    if (taken) {
        m_refusedTold = false;
        return Event::None;
    }
    if (m_refusedTold)
        return Event::None;
    m_refusedTold = true;
    return Event::Refused;
}

CAnswerTracker::Event CAnswerTracker::Tick(Clock::time_point now)
{
    DropExpired(now);
    if (m_state != State::FirstWaiting || now < m_firstDeadline)
        return Event::None;
    m_state = State::Silent;
    return Event::Unanswered;
}

CAnswerTracker::Clock::time_point CAnswerTracker::NextDeadline() const
{
    Clock::time_point next = Clock::time_point::max();
    if (m_state == State::FirstWaiting)
        next = m_firstDeadline;
    if (!m_waiting.empty() && m_waiting.front().deadline < next)
        next = m_waiting.front().deadline;
    return next;
}

void CAnswerTracker::DropExpired(Clock::time_point now)
{
    while (!m_waiting.empty() && m_waiting.front().deadline <= now)
        m_waiting.pop_front();
}
