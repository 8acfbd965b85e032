#include "SynthReplies.h"

namespace {

constexpr std::size_t SHORT_REPLY_SIZE = 6;   // F0 42 3n 58 ff F7

}  // namespace

CShortReplyScanner::CShortReplyScanner(int channel) : m_channel(channel & 0x0F), m_collector(SHORT_REPLY_SIZE) {}

void CShortReplyScanner::Feed(const unsigned char* bytes, std::size_t size, std::vector<unsigned char>& functions)
{
    m_collector.Feed(bytes, size, [&](const std::vector<unsigned char>& message) {
        if (message.size() == SHORT_REPLY_SIZE && message[1] == KORG_ID &&
            message[2] == (SYX_CHANNEL_BASE | m_channel) && message[3] == MS2000_MODEL_ID)
            functions.push_back(message[4]);
    });
}
