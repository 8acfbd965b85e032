// The Midi Port list follows ports as they come and go.

#include "SynthTestSupport.h"
#include "synth/MidiOperation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTest>

namespace {

class PortFollowTest : public SynthTest {
protected:
    QComboBox& PortList() { return *Frame().findChild<QComboBox*>("midiPort"); }
    // Announces a change and waits for the list to show `expected`.
    bool AnnounceAndWaitFor(const QString& expected)
    {
        watcher.Announce();
        return QTest::qWaitFor([&] { return PortListText() == expected; }, 3000);
    }
    // Chooses a port as the user does.
    void Choose(int index)
    {
        PortList().setCurrentIndex(index);
        emit PortList().activated(index);
    }
};

TEST_F(PortFollowTest, TheListFollowsAnnouncementsAndKeepsTheChosenPort)
{
    fixture.midi.AddDevice("Through", MidiOutKind::Other);   // id 1, not listed
    fixture.midi.AddDevice("UM-ONE", MidiOutKind::HardwarePort, true);
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0*, UM-ONE=2")) << PortListText().toStdString();
    Choose(1);

    // A port plugged in before it: ids after it move, the chosen port stays chosen.
    fixture.midi.Unplug("Serial MIDI 1");
    ASSERT_TRUE(AnnounceAndWaitFor("UM-ONE=1*")) << PortListText().toStdString();
    EXPECT_EQ(Frame().MidiPorts().GetSelectedDeviceId(), 1);
    fixture.midi.Replug("Serial MIDI 1");
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0, UM-ONE=2*")) << PortListText().toStdString();

    // The chosen port pulled out: no other is selected in its place; back again, it is
    // chosen again.
    fixture.midi.Unplug("UM-ONE");
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0")) << PortListText().toStdString();
    fixture.midi.Replug("UM-ONE");
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0, UM-ONE=2*")) << PortListText().toStdString();
    EXPECT_TRUE(fixture.messageBox.shown.empty());

    // Stored at exit is the port selected then.
    Frame().DestroyWindow();
    EXPECT_EQ(fixture.profile.values["midi/port"], "UM-ONE");
}

TEST_F(PortFollowTest, TheOpenPortStaysOpenWhenAnotherGoesAndItsDeviceIdMoves)
{
    fixture.midi.AddDevice("Other", MidiOutKind::HardwarePort, true);
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0*, Other=1"));
    Choose(1);
    ClickMidiActive();
    ASSERT_TRUE(Frame().IsMidiOpen());

    // The port before it goes: the open port's device id moves from 1 to 0.
    fixture.midi.Unplug("Serial MIDI 1");
    ASSERT_TRUE(AnnounceAndWaitFor("Other=0*")) << PortListText().toStdString();
    ASSERT_TRUE(Frame().IsMidiOpen());
    EXPECT_FALSE(PortList().isEnabled());
    // The receive opens the input of the port by its id now.
    ReceiveWith(ID_PROGRAM_RECEIVE_CURRENT);
    EXPECT_TRUE(fixture.messageBox.shown.empty()) << MessageTexts()[0].toStdString();
    EXPECT_EQ(Frame().Programs().GetSize(), 1);
}

TEST_F(PortFollowTest, TheOpenPortGoingAwayClosesMidiAndSaysWhichPortWent)
{
    fixture.midi.AddDevice("UM-ONE", MidiOutKind::HardwarePort, true);
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0*, UM-ONE=1"));
    ClickMidiActive();
    auto* active = Frame().findChild<QCheckBox*>("midiActive");
    ASSERT_TRUE(active->isChecked());
    EXPECT_FALSE(PortList().isEnabled());

    fixture.midi.Unplug("Serial MIDI 1");
    ASSERT_TRUE(AnnounceAndWaitFor("UM-ONE=0")) << PortListText().toStdString();
    EXPECT_FALSE(Frame().IsMidiOpen());
    EXPECT_FALSE(active->isChecked());
    EXPECT_TRUE(PortList().isEnabled());
    EXPECT_TRUE(Frame().findChild<QComboBox*>("midiChan")->isEnabled());
    fixture.Idle();
    EXPECT_EQ(fixture.PaneText("paneMidi"), "MIDI-OFF");
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.contains("The MIDI port Serial MIDI 1 went away"))
        << fixture.messageBox.shown[0].text.toStdString();

    // Ticking again, once the user has chosen a port, opens it.
    Choose(0);
    ClickMidiActive();
    EXPECT_TRUE(Frame().IsMidiOpen());
}

// Two interfaces of one model: two ports of one name, as ALSA lists them.
TEST_F(PortFollowTest, OfTwoPortsOfOneNameTheChosenOneIsFollowedAndNeverSwapped)
{
    fixture.midi.AddDevice("UM-ONE", MidiOutKind::HardwarePort, true);   // 21:0
    fixture.midi.AddDevice("UM-ONE", MidiOutKind::HardwarePort, true);   // 22:0
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0*, UM-ONE=1, UM-ONE #2=2")) << PortListText().toStdString();
    Choose(2);

    // Its twin goes: it is the one UM-ONE now, and stays chosen.
    fixture.midi.UnplugAt("21:0");
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0, UM-ONE=1*")) << PortListText().toStdString();
    fixture.midi.ReplugAt("21:0");
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0, UM-ONE=1, UM-ONE #2=2*")) << PortListText().toStdString();

    // It goes itself: its twin, of the same name, is not selected in its place.
    fixture.midi.UnplugAt("22:0");
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0, UM-ONE=1")) << PortListText().toStdString();
    fixture.midi.ReplugAt("22:0");
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0, UM-ONE=1, UM-ONE #2=2*")) << PortListText().toStdString();

    // Open, it goes: MIDI closes and nothing else is selected.
    ClickMidiActive();
    ASSERT_TRUE(Frame().IsMidiOpen());
    fixture.midi.UnplugAt("22:0");
    ASSERT_TRUE(AnnounceAndWaitFor("Serial MIDI 1=0, UM-ONE=1")) << PortListText().toStdString();
    EXPECT_FALSE(Frame().IsMidiOpen());
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.contains("The MIDI port UM-ONE #2 went away"));
}

TEST_F(PortFollowTest, APortGoingAwayDuringATransferStopsItFirst)
{
    synth->SetWireRate(3125);
    ClickMidiActive();
    Trigger(ID_PROGRAM_RECEIVE_PROGRAMS);
    ASSERT_TRUE(Synth().IsRunning());
    QTRY_VERIFY_WITH_TIMEOUT(midiIn.GetOpenCount() == 1 && !synth->GetLog().empty(), 3000);

    fixture.midi.Unplug("Serial MIDI 1");
    ASSERT_TRUE(AnnounceAndWaitFor(""));
    EXPECT_FALSE(Synth().IsRunning());
    EXPECT_EQ(Synth().Operation().Dialog(), nullptr);
    EXPECT_FALSE(Frame().IsMidiOpen());
    EXPECT_EQ(midiIn.GetOpenCount(), 0);
    QTest::qWait(50);   // nothing of the stopped transfer comes after
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.contains("transfer with the synthesizer was stopped"));
    EXPECT_EQ(Frame().Programs().GetSize(), 0);
    EXPECT_TRUE(Synth().ReceivedDump().empty());
}

}  // namespace
