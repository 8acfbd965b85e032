// Program > Receive from Synth and File > Save Received Dump in the window.

#include "SynthTestSupport.h"
#include "grid/ProgramGrid.h"
#include "synth/MidiOperation.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <map>

namespace {

const QRegularExpression SYNTH_NAME("^Synth \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$");

QMenu* ProgramMenu(CMainFrame& frame)
{
    for (QAction* entry : frame.menuBar()->actions())
        if (entry->text() == "&Program")
            return entry->menu();
    return nullptr;
}

TEST_F(SynthTest, ReceiveCommandsAreOnWhileMidiIsOnAndNoTransferRuns)
{
    QMenu* receive = Synth().ReceiveMenu();
    ASSERT_NE(receive, nullptr);
    EXPECT_EQ(receive->title(), "Receive from S&ynth");
    EXPECT_TRUE(ProgramMenu(Frame())->actions().contains(receive->menuAction()));
    QStringList items;
    for (QAction* item : receive->actions())
        items << item->text();
    EXPECT_EQ(items, QStringList({"&Current Program", "All &Programs", "All &Data"}));

    const std::vector<int> transfers = {ID_PROGRAM_RECEIVE_CURRENT, ID_PROGRAM_RECEIVE_PROGRAMS,
                                        ID_PROGRAM_RECEIVE_ALL, ID_PROGRAM_RECEIVE_BANK};
    for (int id : transfers)
        EXPECT_FALSE(Command(id)->isEnabled()) << id;
    EXPECT_FALSE(receive->isEnabled());
    EXPECT_FALSE(Command(ID_FILE_SAVE_RECEIVED_DUMP)->isEnabled());
    Trigger(ID_PROGRAM_RECEIVE_PROGRAMS);   // disabled: nothing is asked
    EXPECT_TRUE(synth->GetLog().empty());

    ClickMidiActive();
    for (int id : transfers)
        EXPECT_TRUE(Command(id)->isEnabled()) << id;
    EXPECT_TRUE(receive->isEnabled());
    EXPECT_FALSE(Command(ID_PROGRAM_SEND_BANK)->isEnabled());   // no bank yet

    // While a transfer runs no other can start, and nothing else is sent through the port.
    const QString one = WriteDump(Path("One.syx"), {MakeProgram("Opened", 1, 1)}, FUNC_CURRENT_PROGRAM);
    fixture.fileDialogs.nextOpen = {one};
    Trigger(ID_FILE_OPEN);
    Frame().Grid()->selectionModel()->select(Frame().Grid()->model()->index(0, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    synth->SetWireRate(3125);
    Trigger(ID_PROGRAM_RECEIVE_PROGRAMS);
    ASSERT_TRUE(Synth().IsRunning());
    fixture.Idle();
    for (int id : transfers)
        EXPECT_FALSE(Command(id)->isEnabled()) << id;
    // The worker sends the request on its own thread; wait for it before counting.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !fixture.midi.GetMessages().empty(); }, 5000));
    Frame().OnProgramAudition();   // as a floating bank pane's double-click could
    EXPECT_EQ(fixture.midi.GetMessages().size(), 1u);   // the request only
    Synth().CancelAndWait();
    fixture.Idle();
    EXPECT_TRUE(Command(ID_PROGRAM_RECEIVE_CURRENT)->isEnabled());

    ClickMidiActive();
    EXPECT_FALSE(Command(ID_PROGRAM_RECEIVE_CURRENT)->isEnabled());
}

// Each menu's items are reached from the keyboard by their underlined letters; two items
// with one letter would need a second key press (and scripts driving the window rely on it).
TEST_F(SynthTest, EveryMenuItemHasAMnemonicOfItsOwn)
{
    std::vector<QMenu*> menus{Synth().ReceiveMenu()};
    for (QAction* entry : Frame().menuBar()->actions())
        menus.push_back(entry->menu());
    for (QMenu* menu : menus) {
        std::map<QChar, QString> letters;
        for (QAction* item : menu->actions()) {
            const QString text = item->text().section('\t', 0, 0);
            const qsizetype at = text.indexOf('&');
            if (item->isSeparator() || at < 0)
                continue;
            const QChar letter = text.at(at + 1).toLower();
            EXPECT_EQ(letters.count(letter), 0u) << menu->title().toStdString() << ": " << text.toStdString()
                                                  << " and " << letters[letter].toStdString();
            letters[letter] = text;
        }
    }
}

TEST_F(SynthTest, ReceivedProgramsAreOneMoreSourceForTheTitleAndTheFileColumn)
{
    ClickMidiActive();
    ReceiveWith(ID_PROGRAM_RECEIVE_PROGRAMS);
    ASSERT_TRUE(fixture.messageBox.shown.empty()) << fixture.messageBox.shown[0].text.toStdString();
    ASSERT_EQ(Frame().Programs().GetSize(), 128);
    EXPECT_EQ(Frame().FileCount(), 1);
    const QString name = QString::fromStdString(Frame().Programs().GetAt(0)->GetFileName());
    EXPECT_TRUE(SYNTH_NAME.match(name).hasMatch()) << name.toStdString();
    EXPECT_EQ(Frame().windowTitle(), "Veltrix - [" + name + "]");
    EXPECT_EQ(Frame().Grid()->header()->sectionSize(0), 0);   // one source: no File column
    EXPECT_EQ(Frame().Grid()->GetCell(127, 3)->text, " Synth 128");
    EXPECT_EQ(fixture.PaneText("paneCount"), "0128");
    EXPECT_EQ(Synth().ReceivedDump(), synth->GetMemoryDump());
    EXPECT_EQ(midiIn.GetOpenCount(), 0);   // the input is open only for the transfer

    // A second source: the File column shows and the title is the application's name.
    ReceiveWith(ID_PROGRAM_RECEIVE_CURRENT);
    EXPECT_EQ(Frame().Programs().GetSize(), 129);
    EXPECT_EQ(Frame().FileCount(), 2);
    EXPECT_EQ(Frame().windowTitle(), "Veltrix");
    EXPECT_GT(Frame().Grid()->header()->sectionSize(0), 0);
    EXPECT_EQ(Frame().Grid()->GetCell(0, 0)->text, " " + name);
    EXPECT_TRUE(SYNTH_NAME.match(Frame().Grid()->GetCell(128, 0)->text.mid(1)).hasMatch());
    EXPECT_EQ(Synth().ReceivedDump(), synth->GetEditDump());

    // The received bank can become the bank, as a 128-program file can.
    Frame().Grid()->selectionModel()->select(Frame().Grid()->model()->index(5, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Trigger(ID_PROGRAM_USE_AS_BANK);
    ASSERT_TRUE(fixture.Bank().Pane()->HasBank());
    EXPECT_EQ(fixture.Bank().Pane()->BankDump(0), synth->GetMemoryDump());
}

TEST_F(SynthTest, AllDataAddsTheSynthesizersProgramsAfterTheOpenedFiles)
{
    const QString one = WriteDump(Path("One.syx"), {MakeProgram("Opened", 1, 1)}, FUNC_CURRENT_PROGRAM);
    fixture.fileDialogs.nextOpen = {one};
    Trigger(ID_FILE_OPEN);
    EXPECT_EQ(Frame().windowTitle(), "Veltrix - [One.syx]");

    ClickMidiActive();
    ReceiveWith(ID_PROGRAM_RECEIVE_ALL);
    ASSERT_EQ(Frame().Programs().GetSize(), 129);
    EXPECT_EQ(Frame().FileCount(), 2);
    EXPECT_EQ(Frame().windowTitle(), "Veltrix");
    EXPECT_EQ(Frame().Grid()->GetCell(0, 0)->text, " One");
    EXPECT_TRUE(SYNTH_NAME.match(Frame().Grid()->GetCell(1, 0)->text.mid(1)).hasMatch());
    EXPECT_EQ(Synth().ReceivedDump().size(), 37392u);
    EXPECT_EQ(Synth().ReceivedDump()[4], 0x50);

    // Open replaces everything, the received programs too.
    fixture.fileDialogs.nextOpen = {one};
    Trigger(ID_FILE_OPEN);
    EXPECT_EQ(Frame().Programs().GetSize(), 1);
    EXPECT_EQ(Frame().windowTitle(), "Veltrix - [One.syx]");
}

TEST_F(SynthTest, SaveReceivedDumpWritesTheBytesAsTheyCame)
{
    synth->SetChannel(4);
    Frame().findChild<QComboBox*>("midiChan")->setCurrentIndex(4);
    ClickMidiActive();
    ReceiveWith(ID_PROGRAM_RECEIVE_CURRENT);
    ASSERT_EQ(Synth().ReceivedDump().size(), 297u);
    EXPECT_TRUE(Command(ID_FILE_SAVE_RECEIVED_DUMP)->isEnabled());

    fixture.fileDialogs.nextSave = Path("edit.syx");
    Trigger(ID_FILE_SAVE_RECEIVED_DUMP);
    const Bytes saved = ReadFile(Path("edit.syx"));
    EXPECT_EQ(saved, Synth().ReceivedDump());
    ASSERT_EQ(saved.size(), 297u);
    EXPECT_EQ(saved[2], 0x34);   // the synthesizer's channel, as it sent it
    Bytes edit = synth->GetEditDump();
    edit[2] = 0x34;
    EXPECT_EQ(saved, edit);

    // A cancelled dialog writes nothing; a folder that is not there gets the save message.
    fixture.fileDialogs.nextSave.clear();
    Trigger(ID_FILE_SAVE_RECEIVED_DUMP);
    fixture.fileDialogs.nextSave = Path("missing/edit.syx");
    Trigger(ID_FILE_SAVE_RECEIVED_DUMP);
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].text, "Failed to save syx file " +
                                                    QDir::toNativeSeparators(Path("missing/edit.syx")) +
                                                    ". No such file or directory");
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ReadFile(Path("edit.syx")), saved);
}

TEST_F(SynthTest, ProgressShowsBytesOfTheExpectedSizeAndCancelEndsTheReceive)
{
    synth->SetWireRate(3125);   // a bank takes 12 s
    ClickMidiActive();
    Trigger(ID_PROGRAM_RECEIVE_PROGRAMS);
    ASSERT_TRUE(Synth().IsRunning());
    QProgressDialog* dialog = Synth().Operation().Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    auto* bar = dialog->findChild<QProgressBar*>();
    EXPECT_EQ(bar->maximum(), 37163);
    QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 512, 5000);
    EXPECT_TRUE(dialog->labelText().contains("of 37,163 bytes")) << dialog->labelText().toStdString();

    // Escape asks for the cancel as the button does, but only the worker's end closes the
    // dialog: until then the port is in use.
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog->labelText(), "Cancelling...");
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_TRUE(WaitForTransfer());
    EXPECT_EQ(Synth().Operation().Dialog(), nullptr);
    EXPECT_TRUE(fixture.messageBox.shown.empty());
    EXPECT_EQ(Frame().Programs().GetSize(), 0);
    EXPECT_TRUE(Synth().ReceivedDump().empty());
    EXPECT_EQ(midiIn.GetOpenCount(), 0);
    EXPECT_TRUE(Frame().IsMidiOpen());
}

TEST_F(SynthTest, AFailedReceiveIsToldAndAddsNothing)
{
    ClickMidiActive();
    const struct {
        CTestMidiSynth::Mode mode;
        int command;
        const char* text;
    } cases[] = {
        {CTestMidiSynth::Mode::Silent, ID_PROGRAM_RECEIVE_PROGRAMS, "did not answer"},
        {CTestMidiSynth::Mode::Truncated, ID_PROGRAM_RECEIVE_PROGRAMS, "stopped"},
        {CTestMidiSynth::Mode::Garbage, ID_PROGRAM_RECEIVE_CURRENT, "global data"},
    };
    for (const auto& c : cases) {
        fixture.messageBox.shown.clear();
        synth->SetMode(c.mode);
        ReceiveWith(c.command);
        ASSERT_EQ(fixture.messageBox.shown.size(), 1u) << c.text;
        EXPECT_TRUE(fixture.messageBox.shown[0].text.contains(c.text, Qt::CaseInsensitive))
            << fixture.messageBox.shown[0].text.toStdString();
        EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(Frame().Programs().GetSize(), 0);
        EXPECT_FALSE(Command(ID_FILE_SAVE_RECEIVED_DUMP)->isEnabled());
        synth->WaitIdle();
    }

    // A port that only sends cannot answer: told before anything is asked.
    fixture.messageBox.shown.clear();
    synth->SetMode(CTestMidiSynth::Mode::Normal);
    midiIn.MakeWriteOnly(0);
    const size_t asked = synth->GetLog().size();
    Trigger(ID_PROGRAM_RECEIVE_CURRENT);
    EXPECT_FALSE(Synth().IsRunning());
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.startsWith("Error: Failed to open the MIDI port for receiving. "));
    EXPECT_EQ(synth->GetLog().size(), asked);
}

}  // namespace
