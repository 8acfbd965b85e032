#include "MidiEvent.h"

#include <chrono>

void CMidiEvent::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_set = true;
    }
    m_signalled.notify_all();
}

void CMidiEvent::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_set = false;
}

bool CMidiEvent::Wait(unsigned int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_signalled.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_set; });
}

bool CMidiEvent::IsSet() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_set;
}
