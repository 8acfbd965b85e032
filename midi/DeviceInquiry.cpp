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

CIdentityReplyScanner::CIdentityReplyScanner() : m_collector(REPLY_SIZE) {}

void CIdentityReplyScanner::Feed(const unsigned char* bytes, std::size_t size, std::vector<CSynthIdentity>& found)
{
    m_collector.Feed(bytes, size, [&](const std::vector<unsigned char>& message) {
        if (!IsFamilyReply(message))
            return;
        CSynthIdentity identity;
        identity.channel = message[2];
        identity.member = message[8];
        for (int k = 0; k < 4; ++k)
            identity.version[k] = message[10 + static_cast<std::size_t>(k)];
        found.push_back(identity);
    });
}
