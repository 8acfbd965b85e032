#include "DeviceInquiry.h"

#include "SyxFormat.h"

namespace {

constexpr unsigned char UNIVERSAL_NON_REALTIME = 0x7E;
constexpr unsigned char GENERAL_INFORMATION = 0x06;
constexpr unsigned char IDENTITY_REQUEST = 0x01;
constexpr unsigned char IDENTITY_REPLY = 0x02;
constexpr unsigned char FAMILY_LOW = MS2000_MODEL_ID;   // the family code 58 00
constexpr unsigned char FAMILY_HIGH = 0x00;
constexpr std::size_t REPLY_SIZE = 15;
constexpr unsigned char REALTIME_FIRST = 0xF8;

bool IsFamilyReply(const std::vector<unsigned char>& m)
{
    return m.size() == REPLY_SIZE && m[1] == UNIVERSAL_NON_REALTIME && m[2] <= 0x0F && m[3] == GENERAL_INFORMATION &&
           m[4] == IDENTITY_REPLY && m[5] == KORG_ID && m[6] == FAMILY_LOW && m[7] == FAMILY_HIGH;
}

}  // namespace

std::vector<unsigned char> BuildDeviceInquiry(unsigned char device)
{
    return {SYX_START, UNIVERSAL_NON_REALTIME, static_cast<unsigned char>(device & 0x7F), GENERAL_INFORMATION,
            IDENTITY_REQUEST, SYX_END};
}

std::string FamilyMemberName(unsigned char member)
{
    switch (member) {
    case FAMILY_MEMBER_MS2000: return "MS2000";
    case FAMILY_MEMBER_MS2000R: return "MS2000R";
    default: return "a synthesizer of this family";
    }
}

void CIdentityReplyScanner::Feed(const unsigned char* bytes, std::size_t size, std::vector<CSynthIdentity>& found)
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
            m_message.clear();
            continue;
        }
        m_message.push_back(byte);
        if (byte == SYX_END) {
            if (IsFamilyReply(m_message)) {
                CSynthIdentity identity;
                identity.channel = m_message[2];
                identity.member = m_message[8];
                for (int k = 0; k < 4; ++k)
                    identity.version[k] = m_message[10 + static_cast<std::size_t>(k)];
                found.push_back(identity);
            }
            m_message.clear();
        } else if (m_message.size() >= REPLY_SIZE) {
            m_message.clear();
        }
    }
}
