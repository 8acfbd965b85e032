// CTestMidiSynth's cable: the bytes it hears split into messages, and its answers handed
// back in ALSA's pieces at the wire's pace.
#include "TestMidiSynth.h"

#include "SyxFormat.h"
#include "TestMidiInService.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr std::size_t PIECE_SIZE = 256;  // ALSA's events of a long SysEx message
constexpr std::size_t SHORTEST_TRUNCATED = 16;

}  // namespace

// The bytes as they come off the wire, split into long messages wherever the sender cut
// its pieces; a status byte other than F7 ends a SysEx message without taking it.
void CTestMidiSynth::Take(const unsigned char* bytes, unsigned int length)
{
    bool thru = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        thru = m_thru;
    }
    if (thru)
        Deliver(std::vector<unsigned char>(bytes, bytes + length));
    std::lock_guard<std::mutex> lock(m_mutex);
    for (unsigned int i = 0; i < length; ++i) {
        const unsigned char byte = bytes[i];
        if (byte >= 0xF8)
            continue;
        if (byte == SYX_START) {
            m_incoming.assign(1, byte);
            m_inMessage = true;
            m_status = 0;
        } else if (byte == SYX_END) {
            if (m_inMessage) {
                m_incoming.push_back(byte);
                TakeMessage(m_incoming);
            }
            m_inMessage = false;
        } else if (byte >= 0x80) {
            // Another status byte ends a SysEx message without taking it.
            m_inMessage = false;
            m_status = byte < 0xF0 ? byte : 0;
            m_channelData.clear();
        } else if (m_inMessage) {
            m_incoming.push_back(byte);
        } else if (m_status != 0) {
            // Channel messages, running status too: program change and channel pressure
            // carry one data byte, the others two.
            m_channelData.push_back(byte);
            const std::size_t size = (m_status & 0xE0) == 0xC0 ? 1 : 2;
            if (m_channelData.size() == size) {
                std::vector<unsigned char> message(1 + size);
                message[0] = m_status;
                std::copy(m_channelData.begin(), m_channelData.end(), message.begin() + 1);
                m_channelData.clear();
                TakeChannelMessage(message);
            }
        }
    }
}

void CTestMidiSynth::Deliver(const std::vector<unsigned char>& piece)
{
    if (m_address.empty())
        m_in.Deliver(piece);
    else
        m_in.DeliverTo(m_address, piece);
}

// Called with m_mutex held.
void CTestMidiSynth::Reply(std::vector<unsigned char> message)
{
    if (m_mode == Mode::Silent) {
        Note("silent: no reply");
        return;
    }
    if (m_mode == Mode::Truncated && message.size() > SHORTEST_TRUNCATED)
        message.resize(message.size() / 2);
    Note("reply " + Hex(message[4]) + ", " + std::to_string(message.size()) + " bytes");
    m_replies.push_back(std::move(message));
    m_wake.notify_all();
}

// Hands each answer to the input as ALSA would: full pieces of 256 bytes as they fill,
// the last one with the end byte; a piece arrives once its last byte has crossed the wire.
void CTestMidiSynth::RunReplies()
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_replies.empty(); });
        if (m_stop)
            return;
        const std::vector<unsigned char> message = std::move(m_replies.front());
        m_replies.pop_front();
        m_sending = true;
        const unsigned int rate = m_wireRate;
        const Clock::time_point start = Clock::now() + std::chrono::milliseconds(m_answerDelayMs);
        // A channel message (the panel's program change) is whole; a SysEx one only with its end.
        const bool ended = message.back() == SYX_END || message.front() != SYX_START;
        for (std::size_t sent = 0; sent < message.size() && !m_stop;) {
            const std::size_t length = std::min(PIECE_SIZE, message.size() - sent);
            if (length < PIECE_SIZE && !ended)
                break;  // never completed: stays in the port's parser
            Clock::time_point due = start;
            if (rate != 0)
                due += std::chrono::microseconds(static_cast<long long>(sent + length) * 1000000 / rate);
            if (m_wake.wait_until(lock, due, [this] { return m_stop; }))
                break;
            lock.unlock();
            Deliver(std::vector<unsigned char>(message.begin() + static_cast<long>(sent),
                                                    message.begin() + static_cast<long>(sent + length)));
            lock.lock();
            sent += length;
        }
        m_sending = false;
        m_idle.notify_all();
    }
}

// Called with m_mutex held.
void CTestMidiSynth::Send(std::vector<unsigned char> message)
{
    Note("send " + Hex(message[0] == SYX_START ? message[4] : message[0]) + ", " + std::to_string(message.size()) +
         " bytes (panel)");
    m_replies.push_back(std::move(message));
    m_wake.notify_all();
}
