// What CTestMidiSynth does with each message it takes: dump requests and dumps, program
// writes, parameter changes, device inquiries and program changes, and the answer to each.
#include "TestMidiSynth.h"

#include "DumpRequest.h"
#include "ProgramWrite.h"
#include "SyxFormat.h"
#include "SyxProgram.h"
#include "TestMidiSynthParameters.h"
#include "ParameterChange.h"

#include <algorithm>
#include <cstdio>

namespace {

// "A01" ... "H16", as the synthesizer's log names a program.
std::string SlotName(unsigned int program)
{
    char text[8];
    std::snprintf(text, sizeof text, "%c%02u", 'A' + program / 16, program % 16 + 1);
    return text;
}

}  // namespace

std::vector<unsigned char> CTestMidiSynth::Unpack(const unsigned char* packed, std::size_t size)
{
    std::vector<unsigned char> data;
    for (std::size_t i = 0; i < size; i += 8) {
        const unsigned char flags = packed[i];
        for (std::size_t k = 0; k < 7 && i + 1 + k < size; ++k)
            data.push_back(static_cast<unsigned char>(packed[i + 1 + k] | ((flags >> k) & 1 ? 0x80 : 0)));
    }
    return data;
}

std::string CTestMidiSynth::Hex(unsigned char byte)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
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

std::vector<unsigned char> CTestMidiSynth::Dump(unsigned char function, const std::vector<unsigned char>& data) const
{
    return BuildDumpMessage(function, m_channel, data.data(), static_cast<unsigned int>(data.size()));
}

// Called with m_mutex held.
void CTestMidiSynth::TakeParameterChange(const std::vector<unsigned char>& message)
{
    int channel = 0, number = 0, value = 0;
    std::string done;
    const std::string error = ParseParameterChange(message.data(), message.size(), channel, number, value)
                                  ? ApplyTestParameterChange(m_edit, number, value, done)
                                  : "the message is " + std::to_string(message.size()) + " bytes, not 10";
    Note(error.empty() ? done : "refused: " + error);
    Reply(ShortReply(error.empty() ? FUNC_DATA_LOAD_COMPLETED : FUNC_DATA_LOAD_ERROR));
}
