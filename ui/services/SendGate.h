#pragma once
// One program goes out at a time, and what is asked for while one goes out is dropped. A
// send keeps to the cable's pace and holds the window until the program is on its way (a
// tenth of a second); meanwhile the key repeats of a held Ctrl+R pile up in the event queue,
// and each would send again, so that sending went on for seconds after the key was let go.
// The gate handles those waiting events right after the send while it is still shut: the
// sends they ask for are dropped, and when the key is let go nothing is left to send.

#include <functional>

class CSendGate {
public:
    // Runs `send` unless a send is going out already; then nothing happens and it returns
    // false. After `send`, the events that came in meanwhile are handled before the gate
    // opens again.
    bool Pass(const std::function<void()>& send);
    // Whether a send is going out now (or what came in during one is being handled).
    bool IsShut() const { return m_shut; }

private:
    bool m_shut = false;
};
