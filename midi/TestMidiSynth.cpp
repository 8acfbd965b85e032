#include "TestMidiSynth.h"

#include "DumpRequest.h"
#include "ProgramWrite.h"
#include "SyxFormat.h"
#include "SyxProgram.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"

#include <chrono>
#include <cstdio>

namespace {

constexpr unsigned int PROGRAMS = 128;
constexpr std::size_t PIECE_SIZE = 256;  // ALSA's events of a long SysEx message
constexpr std::size_t SHORTEST_TRUNCATED = 16;
// The instrument's global data, packed on after the programs in an all data dump: 200
// bytes, so that the dump has its 37,392 bytes (229 packed bytes after the programs').
constexpr std::size_t GLOBAL_DATA_SIZE = 200;

std::vector<unsigned char> Unpack(const unsigned char* packed, std::size_t size)
{
    std::vector<unsigned char> data;
    for (std::size_t i = 0; i < size; i += 8) {
        const unsigned char flags = packed[i];
        for (std::size_t k = 0; k < 7 && i + 1 + k < size; ++k)
            data.push_back(static_cast<unsigned char>(packed[i + 1 + k] | ((flags >> k) & 1 ? 0x80 : 0)));
    }
    return data;
}

// "A01" ... "H16", as the synthesizer's log names a program.
std::string SlotName(unsigned int program)
{
    char text[8];
    std::snprintf(text, sizeof text, "%c%02u", 'A' + program / 16, program % 16 + 1);
    return text;
}

std::string Hex(unsigned char byte)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

}  // namespace

CTestMidiSynth::CTestMidiSynth(CTestMidiOutService& out, CTestMidiInService& in, const std::string& address)
    : m_out(out), m_in(in), m_address(address)
{
    // Made-up programs with every byte value, bit 7 in many places, and a name each.
    m_programs.resize(PROGRAMS * PROGRAM_DATA_SIZE);
    for (std::size_t i = 0; i < m_programs.size(); ++i)
        m_programs[i] = static_cast<unsigned char>(i * 37 + i / PROGRAM_DATA_SIZE);
    for (unsigned int p = 0; p < PROGRAMS; ++p) {
        char name[16];
        std::snprintf(name, sizeof name, "Synth %03u   ", p + 1);
        for (int c = 0; c < 12; ++c)
            m_programs[p * PROGRAM_DATA_SIZE + c] = static_cast<unsigned char>(name[c]);
    }
    m_global.assign(GLOBAL_DATA_SIZE, 0x91);
    m_edit.assign(m_programs.begin(), m_programs.begin() + PROGRAM_DATA_SIZE);
    m_thread = std::thread([this] { RunReplies(); });
    auto listener = [this](const unsigned char* bytes, unsigned int length) { Take(bytes, length); };
    if (m_address.empty())
        m_out.SetListener(listener);
    else
        m_out.SetPortListener(m_address, listener);
}

CTestMidiSynth::~CTestMidiSynth()
{
    if (m_address.empty())
        m_out.SetListener(nullptr);
    else
        m_out.SetPortListener(m_address, nullptr);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void CTestMidiSynth::SetChannel(int channel)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_channel = channel & 0x0F;
}

void CTestMidiSynth::SetMode(Mode mode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mode = mode;
}

void CTestMidiSynth::SetWireRate(unsigned int bytesPerSecond)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wireRate = bytesPerSecond;
}

void CTestMidiSynth::SetAnswerDelay(unsigned int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answerDelayMs = ms;
}

bool CTestMidiSynth::LoadMemory(const std::vector<unsigned char>& dump)
{
    if (dump.size() < SYX_HEADER_SIZE + 1 || dump[0] != SYX_START || dump[1] != KORG_ID || dump[3] != MS2000_MODEL_ID ||
        (dump[4] != FUNC_PROGRAM_DUMP && dump[4] != FUNC_ALL_DATA_DUMP))
        return false;
    std::size_t end = SYX_HEADER_SIZE;
    while (end < dump.size() && dump[end] != SYX_END)
        ++end;
    const std::vector<unsigned char> data = Unpack(dump.data() + SYX_HEADER_SIZE, end - SYX_HEADER_SIZE);
    if (data.size() < PROGRAMS * PROGRAM_DATA_SIZE)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_programs.assign(data.begin(), data.begin() + PROGRAMS * PROGRAM_DATA_SIZE);
    m_edit.assign(m_programs.begin(), m_programs.begin() + PROGRAM_DATA_SIZE);
    if (dump[4] == FUNC_ALL_DATA_DUMP)
        m_global.assign(data.begin() + PROGRAMS * PROGRAM_DATA_SIZE, data.end());
    return true;
}

std::vector<unsigned char> CTestMidiSynth::GetMemoryDump() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, m_programs.data(), static_cast<unsigned int>(m_programs.size()));
}

std::vector<unsigned char> CTestMidiSynth::GetEditDump() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, m_edit.data(), static_cast<unsigned int>(m_edit.size()));
}

std::vector<std::string> CTestMidiSynth::GetLog() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

void CTestMidiSynth::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_replies.empty() && !m_sending; });
}

// The bytes as they come off the wire, split into long messages wherever the sender cut
// its pieces; a status byte other than F7 ends a SysEx message without taking it.
void CTestMidiSynth::SetThru(bool thru)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_thru = thru;
}

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
                std::vector<unsigned char> message{m_status};
                message.insert(message.end(), m_channelData.begin(), m_channelData.end());
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
void CTestMidiSynth::TakeChannelMessage(const std::vector<unsigned char>& message)
{
    if ((message[0] & 0x0F) != m_channel) {
        Note("ignored: " + Hex(message[0]) + ", channel " + std::to_string((message[0] & 0x0F) + 1));
        return;
    }
    if ((message[0] & 0xF0) != 0xC0) {
        Note("ignored: " + Hex(message[0]));
        return;
    }
    const unsigned int program = message[1];
    m_edit.assign(m_programs.begin() + program * PROGRAM_DATA_SIZE,
                  m_programs.begin() + (program + 1) * PROGRAM_DATA_SIZE);
    Note("took " + Hex(message[0]) + " " + Hex(message[1]) + ": program change to " + SlotName(program));
}

// Called with m_mutex held.
void CTestMidiSynth::TakeInquiry(const std::vector<unsigned char>& message)
{
    if (message.size() != 6 || (message[2] != m_channel && message[2] != 0x7F)) {
        Note("ignored: device inquiry for device " + Hex(message[2]) + " (" + std::to_string(message.size()) +
             " bytes)");
        return;
    }
    Note("took universal 06 01, device inquiry");
    Reply({0xF0, 0x7E, static_cast<unsigned char>(m_channel), 0x06, 0x02, KORG_ID, MS2000_MODEL_ID, 0x00, 0x01, 0x00,
           0x01, 0x00, 0x00, 0x00, SYX_END});
}

// Called with m_mutex held.
void CTestMidiSynth::TakeProgramWrite(const std::vector<unsigned char>& message)
{
    const int destination = message.size() == 8 ? message[5] << 7 | message[6] : -1;
    if (destination < 0 || destination >= static_cast<int>(PROGRAMS)) {
        Note(destination < 0 ? "refused: a write to a message of " + std::to_string(message.size()) + " bytes"
                             : "refused: a write to program " + std::to_string(destination));
        Reply(ShortReply(FUNC_WRITE_ERROR));
        return;
    }
    std::copy(m_edit.begin(), m_edit.end(), m_programs.begin() + destination * PROGRAM_DATA_SIZE);
    Note("wrote the edit buffer to program " + SlotName(static_cast<unsigned int>(destination)) + " (" +
         std::to_string(destination) + ")");
    Reply(ShortReply(FUNC_WRITE_COMPLETED));
}

// Called with m_mutex held. A parameter change (function 41) sets one parameter of the edit
// buffer and is answered 23, or 24 for an unknown number or a value out of range; the
// parameter table is not simulated here yet, so a change is only logged and not answered.
void CTestMidiSynth::TakeParameterChange(const std::vector<unsigned char>& message)
{
    Note("parameter change of " + std::to_string(message.size()) + " bytes: not simulated, no answer");
}

std::vector<unsigned char> CTestMidiSynth::ShortReply(unsigned char function) const
{
    return {SYX_START, KORG_ID, static_cast<unsigned char>(SYX_CHANNEL_BASE | m_channel), MS2000_MODEL_ID, function,
            SYX_END};
}

void CTestMidiSynth::TakeMessage(const std::vector<unsigned char>& message)
{
    if (message.size() >= 5 && message[1] == 0x7E && message[3] == 0x06 && message[4] == 0x01) {
        TakeInquiry(message);
        return;
    }
    if (message.size() < 6 || message[1] != KORG_ID || (message[2] & 0xF0) != SYX_CHANNEL_BASE ||
        message[3] != MS2000_MODEL_ID) {
        Note("ignored: not for this instrument (" + std::to_string(message.size()) + " bytes)");
        return;
    }
    if ((message[2] & 0x0F) != m_channel) {
        Note("ignored: channel " + std::to_string((message[2] & 0x0F) + 1));
        return;
    }
    const unsigned char function = message[4];
    Note("took " + Hex(function) + ", " + std::to_string(message.size()) + " bytes");
    const bool request = message.size() == 6;
    if (m_mode == Mode::Garbage &&
        (function == REQUEST_CURRENT_PROGRAM || function == REQUEST_PROGRAM_DUMP || function == REQUEST_ALL_DATA)) {
        Reply(Dump(FUNC_GLOBAL_DATA, m_global));
    } else if (function == REQUEST_CURRENT_PROGRAM && request) {
        Reply(Dump(FUNC_CURRENT_PROGRAM, m_edit));
    } else if (function == REQUEST_PROGRAM_DUMP && request) {
        Reply(Dump(FUNC_PROGRAM_DUMP, m_programs));
    } else if (function == REQUEST_ALL_DATA && request) {
        std::vector<unsigned char> all = m_programs;
        all.insert(all.end(), m_global.begin(), m_global.end());
        Reply(Dump(FUNC_ALL_DATA_DUMP, all));
    } else if (m_mode == Mode::Nak && (function == FUNC_CURRENT_PROGRAM || function == FUNC_PROGRAM_DUMP ||
                                       function == FUNC_PARAMETER_CHANGE || function == REQUEST_PROGRAM_WRITE)) {
        Note("nak: memory protect, nothing changed");
        // A refused write request is answered as a write error, the others as a data load error.
        Reply(ShortReply(function == REQUEST_PROGRAM_WRITE ? FUNC_WRITE_ERROR : FUNC_DATA_LOAD_ERROR));
    } else if (function == FUNC_CURRENT_PROGRAM) {
        if (message.size() == ProgramMessageSize(PROGRAM_DATA_SIZE)) {
            const auto data = Unpack(message.data() + SYX_HEADER_SIZE, message.size() - SYX_HEADER_SIZE - 1);
            m_edit.assign(data.begin(), data.begin() + PROGRAM_DATA_SIZE);
            Reply(ShortReply(FUNC_DATA_LOAD_COMPLETED));
        } else {
            Note("a current program dump is " + std::to_string(message.size()) + " bytes, not 297");
            Reply(ShortReply(FUNC_DATA_LOAD_ERROR));
        }
    } else if (function == FUNC_PROGRAM_DUMP) {
        const auto data = Unpack(message.data() + SYX_HEADER_SIZE, message.size() - SYX_HEADER_SIZE - 1);
        const bool whole = data.size() >= PROGRAMS * PROGRAM_DATA_SIZE;
        if (whole)
            m_programs.assign(data.begin(), data.begin() + PROGRAMS * PROGRAM_DATA_SIZE);
        Reply(ShortReply(whole ? FUNC_DATA_LOAD_COMPLETED : FUNC_DATA_LOAD_ERROR));
    } else if (function == FUNC_PARAMETER_CHANGE) {
        TakeParameterChange(message);
    } else if (function == REQUEST_PROGRAM_WRITE) {
        TakeProgramWrite(message);
    }
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

void CTestMidiSynth::Note(const std::string& line)
{
    m_log.push_back(line);
}

std::vector<unsigned char> CTestMidiSynth::Dump(unsigned char function, const std::vector<unsigned char>& data) const
{
    return BuildDumpMessage(function, m_channel, data.data(), static_cast<unsigned int>(data.size()));
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
        const bool ended = message.back() == SYX_END;
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
