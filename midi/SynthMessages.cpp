#include "SynthMessages.h"

#include "DumpRequest.h"
#include "ParameterChange.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

namespace {

constexpr unsigned char FUNC_DATA_FORMAT_ERROR = 0x26;
constexpr unsigned char PROGRAM_CHANGE_STATUS = 0xC0;
// Longer than any message this reader keeps (a program dump's 297 bytes); a bank dump
// passing by is not kept whole.
constexpr std::size_t LONGEST_KEPT_SYSEX = 512;

// The data bytes a channel message's status takes: 1 for program change and channel
// pressure, 2 for the others.
std::size_t DataBytesOf(unsigned char status)
{
    const unsigned char kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

bool Unpack(const unsigned char* packed, std::size_t size, std::vector<unsigned char>& data)
{
    data.clear();
    for (std::size_t i = 0; i < size; i += 8) {
        const unsigned char flags = packed[i];
        for (std::size_t k = 0; k < 7 && i + 1 + k < size; ++k) {
            const unsigned char byte = packed[i + 1 + k];
            if (byte >= 0x80)
                return false;
            data.push_back(static_cast<unsigned char>(byte | (((flags >> k) & 1) != 0 ? 0x80 : 0)));
        }
    }
    return true;
}

}  // namespace

CSynthMessageReader::CSynthMessageReader(int channel) : m_channel(channel & 0x0F) {}

void CSynthMessageReader::Clear()
{
    m_sysex.clear();
    m_inSysex = false;
    m_status = 0;
    m_data.clear();
}

void CSynthMessageReader::Take(const unsigned char* bytes, std::size_t length, std::vector<CSynthMessage>& out)
{
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char byte = bytes[i];
        if (byte >= 0xF8)
            continue;   // realtime bytes may come anywhere and carry nothing here
        if (byte == SYX_START) {
            m_sysex.assign(1, byte);
            m_inSysex = true;
            m_status = 0;
        } else if (byte == SYX_END) {
            if (m_inSysex) {
                m_sysex.push_back(byte);
                TakeSysex(out);
            }
            m_inSysex = false;
            m_sysex.clear();
        } else if (byte >= 0x80) {
            // Any other status ends a SysEx message without its end byte: it is dropped.
            m_inSysex = false;
            m_sysex.clear();
            m_status = byte < 0xF0 ? byte : 0;
            m_data.clear();
        } else if (m_inSysex) {
            if (m_sysex.size() < LONGEST_KEPT_SYSEX)
                m_sysex.push_back(byte);
        } else if (m_status != 0) {
            m_data.push_back(byte);
            if (m_data.size() < DataBytesOf(m_status))
                continue;
            if ((m_status & 0xF0) == PROGRAM_CHANGE_STATUS && (m_status & 0x0F) == m_channel) {
                CSynthMessage message;
                message.kind = SynthMessageKind::ProgramChange;
                message.program = m_data[0];
                out.push_back(std::move(message));
            }
            m_data.clear();
        }
    }
}

void CSynthMessageReader::TakeSysex(std::vector<CSynthMessage>& out) const
{
    const std::vector<unsigned char>& m = m_sysex;
    if (m.size() < SYX_HEADER_SIZE + 1 || m[1] != KORG_ID || m[2] != (SYX_CHANNEL_BASE | m_channel)
        || m[3] != MS2000_MODEL_ID)
        return;
    CSynthMessage message;
    switch (m[4]) {
    case FUNC_PARAMETER_CHANGE: {
        int channel = 0;
        if (!ParseParameterChange(m.data(), m.size(), channel, message.number, message.value))
            return;
        message.kind = SynthMessageKind::ParameterChange;
        break;
    }
    case FUNC_CURRENT_PROGRAM:
        if (m.size() != ProgramMessageSize(PROGRAM_DATA_SIZE)
            || !Unpack(m.data() + SYX_HEADER_SIZE, m.size() - SYX_HEADER_SIZE - 1, message.data))
            return;
        message.kind = SynthMessageKind::CurrentProgram;
        break;
    case FUNC_DATA_LOAD_COMPLETED:
    case FUNC_DATA_LOAD_ERROR:
    case FUNC_DATA_FORMAT_ERROR:
        if (m.size() != SYX_HEADER_SIZE + 1)
            return;
        message.kind = m[4] == FUNC_DATA_LOAD_COMPLETED ? SynthMessageKind::DataLoadCompleted
                       : m[4] == FUNC_DATA_LOAD_ERROR   ? SynthMessageKind::DataLoadError
                                                        : SynthMessageKind::DataFormatError;
        break;
    default:
        return;
    }
    out.push_back(std::move(message));
}
