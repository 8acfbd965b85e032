#include "FindSynthesizer.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"
#include "TestMidiSynth.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr unsigned int SHORT_LISTEN_MS = 150;

Bytes Identity(int channel, unsigned char member, unsigned char maker = 0x42, unsigned char family = 0x58)
{
    return {0xF0, 0x7E, static_cast<unsigned char>(channel), 0x06, 0x02, maker, family, 0x00, member, 0x00,
            0x01, 0x00, 0x00, 0x00, 0xF7};
}

// What answers on one port: the simulated synthesizer on a channel, or a far end that answers
// an inquiry with the given bytes.
struct FarEnd {
    int channel = -1;      // the simulated synthesizer on this channel (0-15), or none
    Bytes reply;           // else these bytes, when not empty
};

struct Port {
    std::string name;
    bool canRead = true;
    FarEnd farEnd;
};

// Ports with what is cabled to each.
struct CabledPorts
{
    CTestMidiOutService out;
    CTestMidiInService in{out};
    std::vector<std::unique_ptr<CTestMidiSynth>> synths;

    void Cable(const std::vector<Port>& ports)
    {
        for (size_t i = 0; i < ports.size(); ++i) {
            out.AddDevice(ports[i].name, MidiOutKind::HardwarePort, ports[i].canRead);
            const std::string address = std::to_string(20 + i) + ":0";
            const FarEnd& farEnd = ports[i].farEnd;
            if (farEnd.channel >= 0) {
                synths.push_back(std::make_unique<CTestMidiSynth>(out, in, address));
                synths.back()->SetChannel(farEnd.channel);
            } else if (!farEnd.reply.empty()) {
                const Bytes reply = farEnd.reply;
                out.SetPortListener(address, [this, address, reply](const unsigned char* bytes, unsigned int length) {
                    if (length >= 5 && bytes[1] == 0x7E && bytes[4] == 0x01)
                        in.DeliverTo(address, reply);
                });
            }
        }
    }

};

struct FindSynthesizerTest : testing::Test, CabledPorts
{
};

std::vector<std::string> Lines(const CSynthSearch& search)
{
    std::vector<std::string> lines;
    for (const CFoundSynth& found : search.found)
        lines.push_back(FoundSynthText(found));
    return lines;
}

TEST(FindSynthesizerAnswersTest, EachAnswerNamesItsPortChannelAndModel)
{
    const struct {
        const char* what;
        std::vector<Port> ports;
        std::vector<std::string> found;
    } cases[] = {
        {"one port, one synthesizer", {{"UM-ONE MIDI 1", true, {2, {}}}}, {"MS2000 found on UM-ONE MIDI 1, channel 3"}},
        {"one port, nobody there", {{"UM-ONE MIDI 1", true, {}}}, {}},
        {"two ports, two synthesizers",
         {{"UM-ONE MIDI 1", true, {0, {}}}, {"MIDISPORT 2x2 B", true, {-1, Identity(9, 0x08)}}},
         {"MS2000 found on UM-ONE MIDI 1, channel 1", "MS2000R found on MIDISPORT 2x2 B, channel 10"}},
        {"the second of two ports of one name",
         {{"UM-ONE MIDI 1", true, {}}, {"UM-ONE MIDI 1", true, {15, {}}}},
         {"MS2000 found on UM-ONE MIDI 1 #2, channel 16"}},
        {"another member of the family", {{"USB MIDI", true, {-1, Identity(4, 0x05)}}},
         {"a synthesizer of this family found on USB MIDI, channel 5"}},
        {"another maker's synthesizer", {{"USB MIDI", true, {-1, Identity(0, 0x01, 0x41)}}}, {}},
        {"another Korg family", {{"USB MIDI", true, {-1, Identity(0, 0x01, 0x42, 0x2F)}}}, {}},
        {"a reply without a channel", {{"USB MIDI", true, {-1, Identity(0x7F, 0x01)}}}, {}},
        {"our own inquiry come back through a thru", {{"USB MIDI", true, {-1, {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}}}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CabledPorts cabled;
        cabled.Cable(c.ports);
        const CSynthSearch search =
            FindSynthesizers(cabled.out, cabled.in, InquiryPorts(cabled.out), nullptr, SHORT_LISTEN_MS);
        EXPECT_EQ(c.found, Lines(search));
        EXPECT_EQ(c.ports.size(), search.asked.size());
        EXPECT_TRUE(search.failures.empty());
        EXPECT_EQ(0, cabled.in.GetOpenCount());   // every port asked is closed again
        EXPECT_FALSE(cabled.out.IsOpen());
    }
}

TEST_F(FindSynthesizerTest, InquiryGoesToEveryChannelOnEveryPortThatCanAnswer)
{
    Cable({{"UM-ONE MIDI 1", true, {}}, {"Out only", false, {}}, {"UM-ONE MIDI 1", true, {}}});
    const std::vector<CMidiPortItem> ports = InquiryPorts(out);
    ASSERT_EQ(2u, ports.size());
    EXPECT_EQ("UM-ONE MIDI 1 #2", ports[1].name);
    FindSynthesizers(out, in, ports, nullptr, 50);
    const Bytes inquiry = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    EXPECT_EQ((std::vector<Bytes>{inquiry, inquiry}), out.GetMessages());
}

TEST_F(FindSynthesizerTest, NothingFoundNamesThePortsAskedTheUsualCausesAndThePortsNotUsable)
{
    Cable({{"UM-ONE MIDI 1", true, {}}, {"UM-ONE MIDI 1", true, {}}, {"MIDISPORT 2x2 A", true, {}}});
    in.MakeWriteOnly(2);
    const CSynthSearch search = FindSynthesizers(out, in, InquiryPorts(out), nullptr, 50);
    EXPECT_TRUE(search.found.empty());
    EXPECT_EQ("No synthesizer answered on UM-ONE MIDI 1 and UM-ONE MIDI 1 #2 within 1 second. The usual causes: the "
              "MIDI cable goes only one way (the synthesizer's MIDI OUT must also go to the interface's MIDI IN), or "
              "the synthesizer filters SysEx (switch SysEx on in its Global MIDI settings). Check too that the "
              "synthesizer is switched on.\n"
              "MIDISPORT 2x2 A could not be opened: This MIDI port only sends: nothing can be received through it.",
              NoSynthFoundText(search));

    const CSynthSearch none = FindSynthesizers(out, in, {}, nullptr, 50);
    EXPECT_EQ("No MIDI port that can also receive is connected, so there is nothing to ask the synthesizer through. "
              "Connect the synthesizer's MIDI IN and MIDI OUT to an interface, both ways.",
              NoSynthFoundText(none));
}

TEST_F(FindSynthesizerTest, SameSynthesizerAnsweringTwiceIsFoundOnceAndCancelEndsTheWait)
{
    Cable({{"USB MIDI", true, {-1, [] {
                Bytes twice = Identity(0, 0x01);
                const Bytes again = Identity(0, 0x01);
                twice.insert(twice.end(), again.begin(), again.end());
                return twice;
            }()}}});
    EXPECT_EQ(1u, FindSynthesizers(out, in, InquiryPorts(out), nullptr, SHORT_LISTEN_MS).found.size());

    std::atomic<bool> cancel{true};
    EXPECT_TRUE(FindSynthesizers(out, in, InquiryPorts(out), &cancel, 60000).cancelled);
}

}  // namespace
