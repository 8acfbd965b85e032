#include "SynthTestSupport.h"

#include "synth/ChangedSlotsCommand.h"
#include "synth/FindSynthCommand.h"
#include "synth/SlotWriteCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTest>

void SynthTest::SetUp()
{
    fixture.midi.AddDevice("Serial MIDI 1", MidiOutKind::HardwarePort, true);
    synth = std::make_unique<CTestMidiSynth>(fixture.midi, midiIn);
    fixture.Create(&midiIn, &watcher);
    // Short waits, and a bank goes out as fast as the test output takes it.
    CReceiveTimeouts timeouts;
    timeouts.firstByteMs = 300;
    timeouts.pauseMs = 300;
    Synth().SetTimingForTests(timeouts, 300, 0);
    fixture.Idle();
}

void SynthTest::TearDown()
{
    fixture.frame.reset();
    synth.reset();
}

QAction* SynthTest::Command(int commandId)
{
    QAction* action = Frame().Action(commandId);
    if (action == nullptr)
        action = Synth().Action(commandId);
    if (action == nullptr)
        action = fixture.Bank().Action(commandId);
    if (action == nullptr && fixture.features.slotWrites != nullptr)
        action = fixture.features.slotWrites->Action(commandId);
    if (action == nullptr && commandId == ID_BANK_SEND_CHANGED)
        action = fixture.features.changedSlots->Action();
    if (action == nullptr && commandId == ID_PROGRAM_FIND_SYNTH)
        action = fixture.features.findSynth->Action();
    return action;
}

void SynthTest::Trigger(int commandId)
{
    fixture.Idle();
    Command(commandId)->trigger();
}

void SynthTest::ClickMidiActive()
{
    Frame().findChild<QCheckBox*>("midiActive")->click();
    fixture.Idle();
}

bool SynthTest::WaitForTransfer()
{
    const bool ended = QTest::qWaitFor([this] { return !Synth().IsRunning(); }, 10000);
    fixture.Idle();
    return ended;
}

void SynthTest::ReceiveWith(int commandId)
{
    Trigger(commandId);
    ASSERT_TRUE(WaitForTransfer());
}

Bytes SynthTest::ReadFile(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return Bytes(bytes.begin(), bytes.end());
}

QString SynthTest::PortListText() const
{
    const auto* list = fixture.frame->findChild<QComboBox*>("midiPort");
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << QString("%1=%2%3").arg(list->itemText(i)).arg(list->itemData(i).toInt())
                     .arg(i == list->currentIndex() ? "*" : "");
    return items.join(", ");
}

std::vector<QString> SynthTest::MessageTexts() const
{
    std::vector<QString> texts;
    for (const auto& shown : fixture.messageBox.shown)
        texts.push_back(shown.text);
    return texts;
}
