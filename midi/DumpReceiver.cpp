#include "DumpReceiver.h"

#include "MidiTexts.h"
#include "ProgramList.h"
#include "SyxFormat.h"

namespace {

constexpr std::size_t HEADER_SIZE = SYX_HEADER_SIZE;  // F0 42 3n 58 <function>
constexpr unsigned char REALTIME_FIRST = 0xF8;          // F8..FF may come between any two bytes

bool IsStatus(unsigned char byte) { return byte >= 0x80 && byte < REALTIME_FIRST; }

bool IsDumpRequest(unsigned char function)
{
    return function == REQUEST_CURRENT_PROGRAM || function == REQUEST_PROGRAM_DUMP || function == REQUEST_ALL_DATA;
}

// The answers to something sent before the request (an audition's 23, a write's 21) may
// arrive after it; none of them answers a dump request.
bool IsAnswerToAnotherMessage(unsigned char function)
{
    return function == FUNC_DATA_LOAD_COMPLETED || function == FUNC_WRITE_COMPLETED || function == FUNC_WRITE_ERROR;
}

}  // namespace

CDumpReceiver::CDumpReceiver(DumpKind kind, int channel, CReceiveTimeouts timeouts)
    : m_kind(kind), m_channel(channel & 0x0F), m_timeouts(timeouts), m_expected(GetAnswerSize(kind))
{
    m_message.reserve(m_expected);
}

void CDumpReceiver::Start(Clock::time_point now)
{
    m_deadline = now + std::chrono::milliseconds(m_timeouts.firstByteMs);
}

void CDumpReceiver::Feed(const unsigned char* bytes, std::size_t size, Clock::time_point now)
{
    const std::size_t before = m_received;
    for (std::size_t i = 0; i < size && !m_done; ++i) {
        const unsigned char byte = bytes[i];
        if (byte >= REALTIME_FIRST)
            continue;
        switch (m_scan) {
        case Scan::Outside:
            if (byte == SYX_START) {
                m_header.assign(1, byte);
                m_scan = Scan::Header;
            }
            break;
        case Scan::Header:
            TakeHeaderByte(byte);
            break;
        case Scan::Answer:
            if (IsStatus(byte) && byte != SYX_END) {
                // Another message began: the answer broke off without its end byte.
                Judge();
                break;
            }
            m_message.push_back(byte);
            ++m_received;
            if (byte == SYX_END || m_message.size() >= m_expected)
                Judge();
            break;
        }
    }
    if (m_received != before)
        m_deadline = now + std::chrono::milliseconds(m_timeouts.pauseMs);
}

void CDumpReceiver::TakeHeaderByte(unsigned char byte)
{
    if (IsStatus(byte)) {
        m_scan = byte == SYX_START ? Scan::Header : Scan::Outside;
        m_header.assign(byte == SYX_START ? 1 : 0, byte);
        return;
    }
    m_header.push_back(byte);
    const std::size_t at = m_header.size() - 1;
    const bool fits = (at == 1 && byte == KORG_ID) ||
                      (at == 2 && byte == (SYX_CHANNEL_BASE | m_channel)) ||
                      (at == 3 && byte == MS2000_MODEL_ID) || at == 4;
    if (!fits) {
        // Another instrument, or this one on another channel: not for us.
        m_scan = Scan::Outside;
        return;
    }
    if (m_header.size() < HEADER_SIZE)
        return;
    const unsigned char function = byte;
    if (function == FUNC_PARAMETER_CHANGE || IsDumpRequest(function) || IsAnswerToAnotherMessage(function)) {
        // A knob turned on the synthesizer meanwhile, a request (ours, echoed back by a MIDI
        // merger or a soft thru), or the late answer to a message sent before: never the answer.
        m_scan = Scan::Outside;
        return;
    }
    if (function == FUNC_DATA_LOAD_ERROR) {
        // The synthesizer's refusal of the request, or the late one of a program it was sent
        // before: only when no dump follows is it taken as the answer.
        m_refusalSeen = true;
        m_scan = Scan::Outside;
        return;
    }
    if (function != GetAnswerFunction(m_kind)) {
        Finish(ReceiveStatus::WrongAnswer, std::string("The synthesizer answered with ") + DescribeFunction(function) +
                                               " instead of " + DescribeFunction(GetAnswerFunction(m_kind)) + ".");
        return;
    }
    m_scan = Scan::Answer;
    m_answerStarted = true;
    m_message = m_header;
    m_received = m_message.size();
}

void CDumpReceiver::Judge()
{
    CProgramList programs;
    std::string error;
    if (programs.ReadSyxBytes(m_message.data(), m_message.size(), error, "Synth") != 0) {
        m_done = true;
        m_result.status = ReceiveStatus::Received;
        m_result.error.clear();
        m_result.bytes = std::move(m_message);
        m_message.clear();
        return;
    }
    Finish(ReceiveStatus::Invalid, "The dump received from the synthesizer is not valid: " + error + ".");
}

void CDumpReceiver::CheckTime(Clock::time_point now)
{
    if (m_done || now < m_deadline)
        return;
    if (m_answerStarted) {
        Finish(ReceiveStatus::Stalled, "The synthesizer stopped sending after " + FormatCount(m_received) +
                                           " of " + FormatCount(m_expected) + " bytes: nothing came for " +
                                           FormatSeconds(m_timeouts.pauseMs) + ". The dump is incomplete.");
    } else if (m_refusalSeen) {
        Finish(ReceiveStatus::WrongAnswer, std::string("The synthesizer answered with ") +
                                               DescribeFunction(FUNC_DATA_LOAD_ERROR) + " instead of " +
                                               DescribeFunction(GetAnswerFunction(m_kind)) + ".");
    } else {
        Finish(ReceiveStatus::NoAnswer, "The synthesizer did not answer within " +
                                            FormatSeconds(m_timeouts.firstByteMs) +
                                            ". Check both MIDI cables, the port, and that the synthesizer's "
                                            "global MIDI channel is " + std::to_string(m_channel + 1) + ".");
    }
}

void CDumpReceiver::Cancel()
{
    if (!m_done)
        Finish(ReceiveStatus::Cancelled, "The receive was cancelled.");
}

void CDumpReceiver::Fail(const std::string& error)
{
    if (!m_done)
        Finish(ReceiveStatus::MidiError, error);
}

long long CDumpReceiver::GetRemainingMs(Clock::time_point now) const
{
    if (m_done || now >= m_deadline)
        return 0;
    return std::chrono::ceil<std::chrono::milliseconds>(m_deadline - now).count();
}

CReceiveResult CDumpReceiver::TakeResult()
{
    return std::move(m_result);
}

void CDumpReceiver::Finish(ReceiveStatus status, std::string error)
{
    m_done = true;
    m_result.status = status;
    m_result.error = std::move(error);
    m_result.bytes.clear();
    m_message.clear();
}
