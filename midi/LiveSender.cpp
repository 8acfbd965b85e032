#include "LiveSender.h"

#include "ParameterChange.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <algorithm>

CLiveSender::CLiveSender(unsigned int bytesPerSecond) : m_bytesPerSecond(bytesPerSecond) {}

CLiveSender::~CLiveSender()
{
    Stop();
}

void CLiveSender::SetSentHandler(SentHandler handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sentHandler = std::move(handler);
}

void CLiveSender::SetSendingHandler(SentHandler handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sendingHandler = std::move(handler);
}

void CLiveSender::SetProgramInterval(Clock::duration interval)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_programInterval = interval;
}

void CLiveSender::Start(IMidiOutService& service, MidiOutHandle handle, int channel)
{
    Stop();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_service = &service;
    m_handle = handle;
    m_channel = channel & 0x0F;
    m_stop = false;
    m_nextProgramAt = Clock::time_point{};
    m_thread = std::thread([this] { Run(); });
}

void CLiveSender::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable())
            return;
        m_stop = true;
        m_waiting.clear();
    }
    m_wake.notify_all();
    m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_service = nullptr;
    m_handle = nullptr;
    m_idle.notify_all();
}

bool CLiveSender::IsStarted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_thread.joinable();
}

void CLiveSender::SendParameter(int number, int value)
{
    const CParameterChangeMessage message = BuildParameterChange(m_channel, number, value);
    Queue({Kind::ParameterChange, number, std::vector<unsigned char>(message.begin(), message.end())});
}

void CLiveSender::SendProgram(const unsigned char* data)
{
    Queue({Kind::Program, -1, BuildDumpMessage(FUNC_CURRENT_PROGRAM, m_channel, data, PROGRAM_DATA_SIZE)});
}

void CLiveSender::SendMessage(std::vector<unsigned char> message)
{
    Queue({Kind::Other, -1, std::move(message)});
}

void CLiveSender::Queue(CEntry entry)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable())
            return;
        if (entry.kind == Kind::Program) {
            // The program carries every change still waiting.
            m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                                           [](const CEntry& waiting) { return waiting.kind != Kind::Other; }),
                            m_waiting.end());
        } else if (entry.kind == Kind::ParameterChange) {
            const auto same = std::find_if(m_waiting.begin(), m_waiting.end(), [&entry](const CEntry& waiting) {
                return waiting.kind == Kind::ParameterChange && waiting.number == entry.number;
            });
            if (same != m_waiting.end()) {
                same->message = std::move(entry.message);
                return;   // nobody to wake: the waiting message just says more now
            }
        }
        m_waiting.push_back(std::move(entry));
    }
    m_wake.notify_all();
}

void CLiveSender::DropWaiting()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                                   [](const CEntry& waiting) { return waiting.kind != Kind::Other; }),
                    m_waiting.end());
    if (m_waiting.empty() && !m_onWire)
        m_idle.notify_all();
}

std::size_t CLiveSender::Waiting() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_waiting.size();
}

bool CLiveSender::IsIdle() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_waiting.empty() && !m_onWire;
}

bool CLiveSender::WaitIdle(Clock::duration timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return m_waiting.empty() && !m_onWire; });
}

void CLiveSender::Run()
{
    CWireClock wire(m_bytesPerSecond);
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_waiting.empty(); });
        if (m_stop)
            break;
        if (m_waiting.front().kind == Kind::Program && Clock::now() < m_nextProgramAt) {
            // Too soon for another program: it waits, and a newer one may still replace it.
            m_wake.wait_until(lock, m_nextProgramAt, [this] { return m_stop; });
            continue;
        }
        CEntry entry = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_onWire = true;
        if (entry.kind == Kind::Program)
            m_nextProgramAt = Clock::now() + m_programInterval;
        IMidiOutService& service = *m_service;
        const MidiOutHandle handle = m_handle;
        const SentHandler handler = m_sentHandler;
        const SentHandler sending = m_sendingHandler;
        lock.unlock();

        const auto length = static_cast<unsigned int>(entry.message.size());
        const Clock::time_point carried = wire.Carry(length);
        if (sending) {
            CSent going;
            going.kind = entry.kind;
            going.number = entry.number;
            going.message = entry.message;
            going.carriedAt = carried;
            sending(going);
        }
        service.Prepare(handle, entry.message.data(), length);
        const int rc = service.LongMsg(handle, entry.message.data(), length);
        service.Unprepare(handle, entry.message.data(), length);
        std::this_thread::sleep_until(carried);
        if (handler) {
            CSent sent;
            sent.kind = entry.kind;
            sent.number = entry.number;
            sent.message = std::move(entry.message);
            sent.carriedAt = std::max(carried, Clock::now());
            sent.rc = rc;
            handler(sent);
        }

        lock.lock();
        m_onWire = false;
        if (m_waiting.empty())
            m_idle.notify_all();
    }
    m_onWire = false;
}
