#pragma once
#include "MidiEvent.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"
#include "TestMidiSynth.h"

#include <gtest/gtest.h>

// One port, open both ways, with the simulated synthesizer at its far end.
struct SynthFixture : testing::Test
{
    CTestMidiOutService out;
    CTestMidiInService in{out};
    CMidiEvent done;
    MidiOutHandle hOut = nullptr;
    MidiInHandle hIn = nullptr;
    CTestMidiSynth synth{out, in};

    void SetUp() override
    {
        out.AddDevice("Serial MIDI 1", MidiOutKind::HardwarePort, true);
        ASSERT_EQ(0, out.Open(&hOut, 0, &done));
        ASSERT_EQ(0, in.OpenIn(&hIn, 0));
    }

    void TearDown() override
    {
        in.CloseIn(hIn);
        out.Close(hOut);
    }
};
