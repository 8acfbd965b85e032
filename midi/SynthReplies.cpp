#include "SynthReplies.h"

#include "SyxFormat.h"

namespace {

constexpr std::size_t SHORT_REPLY_SIZE = 6;   // F0 42 3n 58 ff F7
constexpr unsigned char REALTIME_FIRST = 0xF8;

}  // namespace

void CShortReplyScanner::Feed(const unsigned char* bytes, std::size_t size, std::vector<unsigned char>& functions)
{
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char byte = bytes[i];
        if (byte >= REALTIME_FIRST)
            continue;
        if (byte == SYX_START) {
            m_message.assign(1, byte);
            continue;
        }
        if (m_message.empty())
            continue;
        if (byte >= 0x80 && byte != SYX_END) {
            m_message.clear();   // another message began: this one was no answer
            continue;
        }
        m_message.push_back(byte);
        if (byte == SYX_END) {
            if (m_message.size() == SHORT_REPLY_SIZE && m_message[1] == KORG_ID &&
                m_message[2] == (SYX_CHANNEL_BASE | m_channel) && m_message[3] == MS2000_MODEL_ID)
                functions.push_back(m_message[4]);
            m_message.clear();
        } else if (m_message.size() >= SHORT_REPLY_SIZE) {
            m_message.clear();   // too long for a short answer
        }
    }
}
