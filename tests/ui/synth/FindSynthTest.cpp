// Program > Find Synthesizer against simulated synthesizers cabled to single ports: the
// port and channel chosen and Midi Active ticked, a list to pick from, or why none was found.

#include "FrameTestSupport.h"
#include "Resources.h"
#include "TestMidiInService.h"
#include "TestMidiSynth.h"
#include "TestPortWatcher.h"
#include "synth/FindSynthCommand.h"
#include "synth/MidiPortFollower.h"
#include "synth/SynthCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FindSynthTest : public ::testing::Test {
protected:
    // The window on the ports given, each with the synthesizer's channel on it (-1: nobody).
    void Cable(const std::vector<std::pair<std::string, int>>& ports)
    {
        for (size_t i = 0; i < ports.size(); ++i) {
            fixture.midi.AddDevice(ports[i].first, MidiOutKind::HardwarePort, true);
            if (ports[i].second >= 0) {
                synths.push_back(std::make_unique<CTestMidiSynth>(fixture.midi, midiIn, std::to_string(20 + i) + ":0"));
                synths.back()->SetChannel(ports[i].second);
            }
        }
        fixture.Create(&midiIn, &watcher);
        fixture.features.findSynth->SetListenForTests(150);
        fixture.Idle();
    }

    void TearDown() override
    {
        fixture.frame.reset();
        synths.clear();
    }

    void Find()
    {
        fixture.Idle();
        fixture.features.findSynth->Action()->trigger();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !fixture.features.synth->IsRunning(); }, 5000));
        fixture.Idle();
    }

    QString ChosenPort() const { return fixture.frame->findChild<QComboBox*>("midiPort")->currentText(); }
    QString ChosenChannel() const { return fixture.frame->findChild<QComboBox*>("midiChan")->currentText(); }
    bool MidiActive() const
    {
        return fixture.frame->IsMidiOpen() && fixture.frame->findChild<QCheckBox*>("midiActive")->isChecked();
    }
    QString Status() const { return fixture.frame->statusBar()->currentMessage(); }

    CFrameFixture fixture;
    CTestMidiInService midiIn{fixture.midi};
    CTestPortWatcher watcher;
    std::vector<std::unique_ptr<CTestMidiSynth>> synths;
};

TEST_F(FindSynthTest, OneAnswerChoosesItsPortAndChannelAndTicksMidiActive)
{
    Cable({{"UM-ONE MIDI 1", -1}, {"Serial MIDI 1", 2}});
    EXPECT_TRUE(fixture.features.findSynth->Action()->isEnabled());   // with MIDI off
    EXPECT_EQ(fixture.features.findSynth->Action()->text(), "Find Synt&hesizer");
    Find();
    EXPECT_TRUE(MidiActive());
    EXPECT_EQ(ChosenPort(), "Serial MIDI 1");
    EXPECT_EQ(ChosenChannel(), "03");
    EXPECT_EQ(Status(), "MS2000 found on Serial MIDI 1, channel 3");
    EXPECT_TRUE(fixture.messageBox.shown.empty());
    // The inquiry's inputs are closed; the chosen port's input is read from now on, for the
    // programs chosen on the synthesizer.
    EXPECT_EQ(midiIn.GetOpenCount(), 1);
    // The lists are closed while MIDI is on, as after ticking Midi Active.
    EXPECT_FALSE(fixture.frame->findChild<QComboBox*>("midiPort")->isEnabled());
}

TEST_F(FindSynthTest, AnswerOnTheSecondOfTwoPortsOfOneNameChoosesThatPortWhileMidiWasOnTheFirst)
{
    Cable({{"UM-ONE MIDI 1", -1}, {"UM-ONE MIDI 1", 15}});
    fixture.frame->findChild<QCheckBox*>("midiActive")->click();   // on the first, channel 01
    ASSERT_TRUE(fixture.frame->IsMidiOpen());
    Find();
    EXPECT_TRUE(MidiActive());
    EXPECT_EQ(ChosenPort(), "UM-ONE MIDI 1 #2");
    EXPECT_EQ(ChosenChannel(), "16");
    EXPECT_EQ(Status(), "MS2000 found on UM-ONE MIDI 1 #2, channel 16");
    // MIDI goes to the port found: an audition reaches that synthesizer.
    const size_t before = synths[0]->GetLog().size();
    fixture.frame->AuditionProgram(CSyxProgram('A', 1, std::vector<unsigned char>(254, 1).data(), 254, "x"));
    synths[0]->WaitIdle();
    EXPECT_GT(synths[0]->GetLog().size(), before);

    // The port found is the user's choice: with MIDI off, the list keeps it as ports come and go.
    fixture.frame->findChild<QCheckBox*>("midiActive")->click();
    fixture.features.portFollower->RefillPorts();
    EXPECT_EQ(ChosenPort(), "UM-ONE MIDI 1 #2");
}

TEST_F(FindSynthTest, SeveralAnswersArePickedFromAList)
{
    Cable({{"UM-ONE MIDI 1", 0}, {"MIDISPORT 2x2 B", 9}});
    fixture.questions.choice = -1;
    Find();
    ASSERT_EQ(fixture.questions.choiceLists.size(), 1u);
    EXPECT_EQ(fixture.questions.choiceTexts[0], "2 synthesizers answered. Which one should Veltrix use?");
    EXPECT_EQ(fixture.questions.choiceLists[0],
              QStringList({"MS2000 on UM-ONE MIDI 1, channel 1", "MS2000 on MIDISPORT 2x2 B, channel 10"}));
    EXPECT_FALSE(MidiActive());   // cancelled: nothing chosen

    fixture.questions.choice = 1;
    Find();
    EXPECT_TRUE(MidiActive());
    EXPECT_EQ(ChosenPort(), "MIDISPORT 2x2 B");
    EXPECT_EQ(ChosenChannel(), "10");
}

TEST_F(FindSynthTest, NoAnswerNamesThePortsAskedAndLeavesMidiAsItWas)
{
    Cable({{"UM-ONE MIDI 1", -1}, {"Serial MIDI 1", -1}});
    Find();
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.startsWith(
        "No synthesizer answered on UM-ONE MIDI 1 and Serial MIDI 1 within 1 second. The usual causes: the MIDI cable "
        "goes only one way"))
        << fixture.messageBox.shown[0].text.toStdString();
    EXPECT_FALSE(fixture.frame->IsMidiOpen());
}

}  // namespace
