// The ALSA backend on a machine without a sequencer (no /dev/snd/seq), as on the build
// machines; with a sequencer the end-to-end check in the MIDI VM covers it.
#include "AlsaMidiOutService.h"
#include "MidiEvent.h"
#include "MidiPortModel.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct AlsaMidiOutServiceTest : testing::Test
{
    void SetUp() override
    {
        if (access("/dev/snd/seq", F_OK) == 0)
            GTEST_SKIP() << "this machine has an ALSA sequencer";
    }
    CAlsaMidiOutService service;
};

TEST_F(AlsaMidiOutServiceTest, WithoutSequencerListsNothingAndOpenFailsClearly)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(0u, service.GetNumDevs());
    CMidiOutCaps caps;
    EXPECT_FALSE(service.GetDevCaps(0, caps));

    CMidiPortModel model(service);
    model.FillPorts();
    EXPECT_TRUE(model.GetPorts().empty());
    CMidiEvent done;
    MidiOutHandle hMidiOut = nullptr;
    std::string error;
    EXPECT_FALSE(model.Open(hMidiOut, done, error));
    EXPECT_EQ(nullptr, hMidiOut);
    EXPECT_EQ("Error: Failed to open the specified MIDI port. "
              "No ALSA sequencer is available on this computer (/dev/snd/seq is missing).", error);
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "ALSA must stay quiet";
}

TEST_F(AlsaMidiOutServiceTest, ErrorTextsAreSentencesWithinTheLimit)
{
    for (int code : {1, 2, 3, 4, 5, -2, -13, -16, 12345}) {
        const std::string text = service.GetErrorText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_LE(text.size(), MIDI_ERROR_TEXT_MAX) << code;
        EXPECT_EQ('.', text.back()) << code;
    }
    EXPECT_EQ("The ALSA sequencer reported: Permission denied.", service.GetErrorText(-13));
}

TEST_F(AlsaMidiOutServiceTest, AVanishedPortIsToldPlainly)
{
    EXPECT_EQ("The MIDI port is no longer there; it may have been unplugged.",
              service.GetErrorText(CAlsaMidiOutService::ERR_PORT_GONE));
}

TEST(AlsaPortTypeTest, OnlyHardwareMidiPortsWithoutASynthesizerAreHardwarePorts)
{
    const unsigned int midi = SND_SEQ_PORT_TYPE_MIDI_GENERIC;
    const unsigned int hardware = SND_SEQ_PORT_TYPE_HARDWARE;
    // A serial or sound-card MIDI port, a USB MIDI interface.
    EXPECT_TRUE(IsHardwareMidiPortType(midi | hardware));
    EXPECT_TRUE(IsHardwareMidiPortType(midi | hardware | SND_SEQ_PORT_TYPE_PORT));
    EXPECT_TRUE(IsHardwareMidiPortType(hardware | SND_SEQ_PORT_TYPE_PORT));
    // On-card FM and wavetable synthesizers, sample players.
    EXPECT_FALSE(IsHardwareMidiPortType(midi | SND_SEQ_PORT_TYPE_MIDI_GM | hardware | SND_SEQ_PORT_TYPE_SYNTHESIZER));
    EXPECT_FALSE(IsHardwareMidiPortType(hardware | SND_SEQ_PORT_TYPE_SYNTHESIZER));
    EXPECT_FALSE(IsHardwareMidiPortType(midi | hardware | SND_SEQ_PORT_TYPE_SYNTH));
    EXPECT_FALSE(IsHardwareMidiPortType(midi | hardware | SND_SEQ_PORT_TYPE_DIRECT_SAMPLE));
    EXPECT_FALSE(IsHardwareMidiPortType(midi | hardware | SND_SEQ_PORT_TYPE_SAMPLE));
    // Software ports, and hardware that is no MIDI port.
    EXPECT_FALSE(IsHardwareMidiPortType(midi | SND_SEQ_PORT_TYPE_SOFTWARE));
    EXPECT_FALSE(IsHardwareMidiPortType(midi | SND_SEQ_PORT_TYPE_APPLICATION));
    EXPECT_FALSE(IsHardwareMidiPortType(hardware));
}

TEST_F(AlsaMidiOutServiceTest, NullHandleIsRefusedNotCrashed)
{
    const unsigned char message[] = {0xF0, 0xF7};
    EXPECT_NE(0, service.LongMsg(nullptr, message, sizeof message));
    service.Reset(nullptr);
    service.Close(nullptr);
}

}  // namespace
