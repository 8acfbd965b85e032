#pragma once
#include "SysexCollector.h"

#include <cstddef>
#include <string>
#include <vector>

// The universal device inquiry and the identity replies of this family of synthesizers:
//   F0 7E nn 06 01 F7                                ask device nn (7F: every device)
//   F0 7E 0g 06 02 42 58 00 mm 00 v1 v2 v3 v4 F7     Korg, family 58 00, member mm, on channel g
// The MS2000 answers with member 01, the MS2000R with 08; other members of the family (the
// microKORG's code is not documented) are recognised by Korg and the family code alone.

constexpr unsigned char INQUIRY_ALL_DEVICES = 0x7F;
constexpr unsigned char FAMILY_MEMBER_MS2000 = 0x01;
constexpr unsigned char FAMILY_MEMBER_MS2000R = 0x08;

// The 6-byte inquiry for `device` (0-15 a channel, or INQUIRY_ALL_DEVICES).
std::vector<unsigned char> BuildDeviceInquiry(unsigned char device = INQUIRY_ALL_DEVICES);

// One synthesizer of the family as its reply tells it.
struct CSynthIdentity
{
    int channel = 0;             // its global MIDI channel, 0-15
    unsigned char member = 0;    // the family member code
    unsigned char version[4] = {};
};

// "MS2000", "MS2000R", or "a synthesizer of this family" for another member code.
std::string FamilyMemberName(unsigned char member);

// Picks the identity replies of this family out of what one input delivers, in any pieces.
// Everything else is passed over: other makers' and models' replies, our own inquiry come
// back through a merger or a soft thru, the synthesizer's other messages, realtime bytes.
// A reply without a channel (device 10-7F) is passed over too: Veltrix needs the channel.
class CIdentityReplyScanner
{
public:
    CIdentityReplyScanner();

    // Appends each identity completed by these bytes.
    void Feed(const unsigned char* bytes, std::size_t size, std::vector<CSynthIdentity>& found);

private:
    CSysexCollector m_collector;
};
