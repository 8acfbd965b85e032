// The History window, in a main window with the synthesizer at the far end of the test MIDI
// services, on a real database in a temporary folder: receives, files and lists compared with
// each other and with the bank, slot by slot and parameter by parameter, and a receive sent
// back as Send Bank to Synth sends a bank.

#include "Bank.h"
#include "ChangedParameter.h"
#include "CollectionTestSupport.h"
#include "DumpWriter.h"
#include "SynthTestSupport.h"
#include "collection/CollectionCommands.h"
#include "collection/CollectionHistory.h"
#include "collection/CollectionHistoryCommand.h"
#include "collection/CollectionService.h"
#include "collection/CollectionView.h"
#include "parameters/ParameterDifferenceList.h"
#include "parameters/SynthModelSetting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

std::vector<std::vector<unsigned char>> BankPrograms()
{
    std::vector<std::vector<unsigned char>> programs;
    for (int i = 0; i < BANK_SLOT_COUNT; ++i)
        programs.push_back(MakeProgram("Bank " + std::to_string(i), i % 4, i));
    return programs;
}

class CollectionHistoryTest : public SynthTest {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_REAL_DUMPS();
        ASSERT_TRUE(data.isValid());
        saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        SynthTest::SetUp();
    }
    void TearDown() override
    {
        SynthTest::TearDown();
        qputenv("XDG_DATA_HOME", saved);
    }

    // A receive taken in at `takenAt` (seconds since the epoch) through another connection,
    // as another window would.
    CollectionId Receive(const Bytes& dump, std::int64_t takenAt)
    {
        std::string error, notice;
        auto other = CCollection::Open(fixture.features.collection.service->Path(), error, notice);
        CImportResult result;
        EXPECT_TRUE(other && other->ImportSynthDump(dump, result, error, takenAt)) << error;
        fixture.features.collection.service->NotifyChanged();
        return result.source;
    }
    // A file taken in at `takenAt`, through another connection.
    CollectionId TakeInFile(const QString& path, std::int64_t takenAt)
    {
        std::string error, notice;
        auto other = CCollection::Open(fixture.features.collection.service->Path(), error, notice);
        CImportResult result;
        EXPECT_TRUE(other && other->ImportFile(path.toStdString(), result, error, takenAt)) << error;
        fixture.features.collection.service->NotifyChanged();
        return result.source;
    }
    CCollectionHistory& OpenHistory()
    {
        fixture.Idle();
        fixture.features.collectionHistory->Action()->trigger();
        return *fixture.features.collectionHistory->Window();
    }
    static int IndexOf(const QComboBox* box, const QString& start)
    {
        for (int i = 0; i < box->count(); ++i)
            if (box->itemText(i).startsWith(start))
                return i;
        return -1;
    }

    // The slots Differences only leaves shown.
    static std::vector<int> ShownSlots(const QTableWidget& table)
    {
        std::vector<int> rows;
        for (int row = 0; row < table.rowCount(); ++row)
            if (!table.isRowHidden(row))
                rows.push_back(row);
        return rows;
    }

    QTemporaryDir data;
    QByteArray saved;
};

// The first slot at or after `from` whose program has this voice mode.
int SlotOfMode(const CBank& bank, int voiceMode, int from)
{
    for (int slot = from; slot < BANK_SLOT_COUNT; ++slot)
        if (((bank.GetProgram(slot)[16] >> 4) & 3) == voiceMode)
            return slot;
    ADD_FAILURE() << "no program of voice mode " << voiceMode << " from slot " << from;
    return from;
}

TEST_F(CollectionHistoryTest, TwoReceivesAreComparedInAll128SlotsWithTheirMarks)
{
    std::vector<std::vector<unsigned char>> programs = BankPrograms();
    const CollectionId older = Receive(BuildDumpMessage(FUNC_PROGRAM_DUMP, programs), 1000);
    programs[3] = MakeProgram("Renamed", 3, 3);   // slot 3's sound under another name
    programs[64] = MakeProgram("Bank 64", 0, 900);
    programs[127] = MakeProgram("Both", 1, 901);
    Receive(BuildDumpMessage(FUNC_PROGRAM_DUMP, programs), 2000);

    // Opened without a receive chosen in the view: the older against the newer, compared.
    CCollectionHistory& history = OpenHistory();
    ASSERT_EQ(history.FirstBox()->count(), 2);   // no bank yet: the two receives
    const QTableWidget& table = *history.Table();
    ASSERT_EQ(table.rowCount(), 128);
    EXPECT_EQ(history.Summary()->text(), "3 of 128 slots differ: 1 renamed, 2 changed (in bold).");
    const struct {
        int row;
        const char* slot;
        const char* first;
        const char* second;
        const char* mark;
    } rows[] = {
        {0, "A 001", "Bank 0", "Bank 0", "unchanged"},
        {3, "A 004", "Bank 3", "Renamed", "renamed"},
        {64, "E 001", "Bank 64", "Bank 64", "changed: "},
        {127, "H 016", "Bank 127", "Both", "changed: "},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(table.item(row.row, 0)->text(), row.slot);
        EXPECT_EQ(table.item(row.row, 1)->text(), row.first);
        EXPECT_EQ(table.item(row.row, 2)->text(), row.second);
        EXPECT_TRUE(table.item(row.row, 3)->text().startsWith(row.mark)) << row.slot;
    }
    // Differences only, on at first, leaves the three that differ.
    EXPECT_TRUE(history.DifferencesOnlyBox()->isChecked());
    EXPECT_EQ(ShownSlots(table), (std::vector<int>{3, 64, 127}));
    // Unchanged rows look unlike changed ones.
    EXPECT_NE(table.item(0, 1)->foreground(), table.item(64, 1)->foreground());
    EXPECT_TRUE(table.item(64, 1)->font().bold());
    EXPECT_FALSE(table.item(0, 1)->font().bold());

    // With the older receive chosen in the view's filter list, it comes first again.
    history.FirstBox()->setCurrentIndex(0);
    EXPECT_EQ(table.rowCount(), 0);   // a new choice wants a new Compare
    Frame().show();
    fixture.features.collectionView->OnViewCollection();
    fixture.features.collectionView->View()->WaitForReads();
    QComboBox* filters = fixture.features.collectionView->View()->FilterBox();
    const int olderFilter = filters->findText("Synth", Qt::MatchStartsWith);
    filters->setCurrentIndex(olderFilter);
    emit filters->activated(olderFilter);
    ASSERT_EQ(fixture.features.collectionView->View()->Filter().id, older);
    OpenHistory();
    EXPECT_EQ(history.FirstBox()->currentIndex(), 1);
    EXPECT_EQ(table.rowCount(), 128);
}

TEST_F(CollectionHistoryTest, AReceiveIsComparedWithTheBankInTheBankPane)
{
    std::vector<std::vector<unsigned char>> programs = BankPrograms();
    const Bytes dump = BuildDumpMessage(FUNC_PROGRAM_DUMP, programs);
    Receive(dump, 1000);
    std::string error;
    std::optional<CBank> bank = CBank::ReadBytes(dump.data(), dump.size(), error);
    ASSERT_TRUE(bank);
    const std::vector<unsigned char> other = MakeProgram("Other", 0, 500);
    bank->PutProgram(17, other.data(), static_cast<unsigned int>(other.size()));
    fixture.Bank().SetBank(*bank, "Live.syx");

    CCollectionHistory& history = OpenHistory();
    ASSERT_EQ(history.SecondBox()->currentText(), "The bank (Live.syx)");
    EXPECT_EQ(history.Summary()->text(), "1 of 128 slots differ: 0 renamed, 1 changed (in bold).");
    EXPECT_EQ(history.Table()->item(17, 0)->text(), "B 002");
    EXPECT_EQ(history.Table()->item(17, 2)->text(), "Other");
    EXPECT_TRUE(history.Table()->item(17, 3)->text().startsWith("changed: "));
    // The bank cannot be restored: Send Bank to Synth does that.
    ClickMidiActive();
    history.FirstBox()->setCurrentIndex(IndexOf(history.FirstBox(), "The bank"));
    EXPECT_FALSE(history.RestoreButton()->isEnabled());
}

TEST_F(CollectionHistoryTest, RestoreSendsTheReceivesProgramsAfterSendBankToSynthsQuestion)
{
    // An all-data receive goes back as a program dump of its 128 programs.
    QFile file(RealDump("mk-all-data-0x50.syx"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray allData = file.readAll();
    Receive(Bytes(allData.begin(), allData.end()), 1000);
    Bytes expected = ReadFile(RealDump("mk-programs-0x4C.syx"));
    ASSERT_FALSE(expected.empty());
    expected[2] = 0x32;

    CCollectionHistory& history = OpenHistory();
    const QString name = history.FirstBox()->currentText();
    ASSERT_TRUE(name.startsWith("Synth "));
    EXPECT_FALSE(history.RestoreButton()->isEnabled());   // MIDI is off
    Frame().findChild<QComboBox*>("midiChan")->setCurrentIndex(2);
    synth->SetChannel(2);
    ClickMidiActive();
    // The window looks again on its own.
    ASSERT_TRUE(QTest::qWaitFor([&history] { return history.RestoreButton()->isEnabled(); }, 5000));

    fixture.questions.confirm = false;
    history.RestoreButton()->click();
    ASSERT_EQ(fixture.questions.confirmations.size(), 1u);
    EXPECT_EQ(fixture.questions.confirmations[0],
              "Send the bank " + name + " to the synthesizer on MIDI channel 3?\n\nAll 128 programs in the "
              "synthesizer's memory will be replaced by the bank's programs. Programs in the synthesizer that are "
              "not saved elsewhere will be lost.");
    EXPECT_EQ(fixture.questions.confirmButtons[0], "&Replace All 128 Programs");
    EXPECT_FALSE(Synth().IsRunning());
    EXPECT_TRUE(fixture.midi.GetMessages().empty());

    fixture.questions.confirm = true;
    history.RestoreButton()->click();
    ASSERT_TRUE(WaitForTransfer());
    Bytes sent;
    for (const Bytes& message : fixture.midi.GetMessages())
        sent.insert(sent.end(), message.begin(), message.end());
    EXPECT_EQ(sent, expected);
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.startsWith("The synthesizer answered: data load completed."));
}

TEST_F(CollectionHistoryTest, AChangedSlotTellsItsParametersAndThePaneListsThemForTheInstrumentChosen)
{
    const QString path = RealDump("ms2000-bank-0x4C.syx");
    std::string error;
    const std::optional<CBank> original = CBank::ReadFile(path.toStdString(), error);
    ASSERT_TRUE(original) << error;
    TakeInFile(path, 1000);

    // The synthesizer received after an evening's edits, in four slots.
    CBank edited = *original;
    const int tweaked = SlotOfMode(*original, 0, 4);
    const int renamed = tweaked + 1;
    const int unshown = SlotOfMode(*original, 0, tweaked + 2);   // a Single program's timbre 2
    const int sequenced = SlotOfMode(*original, 0, unshown + 1);  // the MS2000's mod sequencer
    CBank::ProgramData program = edited.GetProgram(tweaked);
    const std::vector<CDifferenceRow> tweaks = {
        Row(ChangeParameter(program.data(), ParamSection::Common, "Delay Time")),
        Row(ChangeParameter(program.data(), ParamSection::Timbre1, "Cutoff")),
        Row(ChangeParameter(program.data(), ParamSection::Timbre1, "Resonance")),
    };
    edited.PutProgram(tweaked, program.data(), PROGRAM_DATA_SIZE);
    program = edited.GetProgram(renamed);
    ASSERT_TRUE(SetProgramName(program.data(), "Evening", error));
    edited.PutProgram(renamed, program.data(), PROGRAM_DATA_SIZE);
    program = edited.GetProgram(unshown);
    ChangeParameter(program.data(), ParamSection::Timbre2, "Cutoff");
    edited.PutProgram(unshown, program.data(), PROGRAM_DATA_SIZE);
    program = edited.GetProgram(sequenced);
    const CDifferenceRow step = Row(ChangeParameter(program.data(), ParamSection::Timbre1, "SEQ1 Step 5"));
    edited.PutProgram(sequenced, program.data(), PROGRAM_DATA_SIZE);
    Receive(edited.BuildDump(0), 2000);

    // The file first, the receive second.
    CCollectionHistory& history = OpenHistory();
    ASSERT_EQ(history.FirstBox()->count(), 2);
    history.FirstBox()->setCurrentIndex(IndexOf(history.FirstBox(), "File: ms2000-bank-0x4C.syx"));
    history.SecondBox()->setCurrentIndex(IndexOf(history.SecondBox(), "Synth "));
    history.OnCompare();
    const QTableWidget& table = *history.Table();
    EXPECT_EQ(history.Summary()->text(), "4 of 128 slots differ: 1 renamed, 3 changed (in bold).");
    EXPECT_EQ(ShownSlots(table), (std::vector<int>{tweaked, renamed, unshown, sequenced}));
    const struct {
        int row;
        const char* mark;
    } marks[] = {
        {tweaked, "changed: 3 parameters"},
        {renamed, "renamed"},
        {unshown, "changed: 0 parameters"},
        {sequenced, "changed: 1 parameter"},
    };
    for (const auto& mark : marks)
        EXPECT_EQ(table.item(mark.row, 3)->text(), mark.mark) << mark.row;

    // The first slot that differs is selected, and its parameters listed in the page's order.
    ASSERT_EQ(table.currentRow(), tweaked);
    EXPECT_EQ(ShownRows(*history.Parameters()), tweaks);
    const QString slotName = QString::fromStdString(CBank::SlotName(tweaked));
    EXPECT_TRUE(history.Parameters()->Note()->text().startsWith(slotName + " \""));
    EXPECT_TRUE(history.Parameters()->Note()->text().endsWith(": 3 parameters differ."));
    const std::string oldName = ProgramNameText(original->GetProgram(renamed).data());
    history.Table()->selectRow(renamed);
    EXPECT_EQ(ShownRows(*history.Parameters()), (std::vector<CDifferenceRow>{{"Common", "Name", oldName, "Evening"}}));
    EXPECT_TRUE(history.Parameters()->Note()->text().contains(" / \"Evening\""));
    history.Table()->selectRow(unshown);
    EXPECT_TRUE(ShownRows(*history.Parameters()).empty());
    EXPECT_TRUE(history.Parameters()->Note()->text().contains("no parameter shown for the MS2000 differs"));

    // Every slot, and again only those that differ.
    history.DifferencesOnlyBox()->setChecked(false);
    EXPECT_EQ(ShownSlots(table).size(), 128u);
    history.DifferencesOnlyBox()->setChecked(true);
    EXPECT_EQ(ShownSlots(table).size(), 4u);

    // The microKORG has no mod sequencer: that slot's change is not shown any more.
    history.Table()->selectRow(sequenced);
    EXPECT_EQ(ShownRows(*history.Parameters()), (std::vector<CDifferenceRow>{step}));
    CSynthModelSetting& model = *fixture.features.synthModel;
    model.Action(ID_VIEW_SYNTH_MICROKORG)->trigger();
    EXPECT_EQ(table.item(sequenced, 3)->text(), "changed: 0 parameters");
    EXPECT_EQ(table.item(tweaked, 3)->text(), "changed: 3 parameters");
    EXPECT_EQ(table.currentRow(), sequenced);
    EXPECT_TRUE(ShownRows(*history.Parameters()).empty());
    EXPECT_TRUE(history.Parameters()->Note()->text().contains("no parameter shown for the microKORG differs"));
    model.Action(ID_VIEW_SYNTH_MS2000)->trigger();
    EXPECT_EQ(table.item(sequenced, 3)->text(), "changed: 1 parameter");
}

TEST_F(CollectionHistoryTest, FilesAndListsOfTheCollectionAreComparedToo)
{
    const CollectionId older = TakeInFile(RealDump("ms2000-bank-0x4C.syx"), 1000);
    TakeInFile(RealDump("mk-programs-0x4C.syx"), 2000);
    TakeInFile(RealDump("mk-init-0x40.syx"), 3000);   // one program: no bank to compare
    {
        std::string error, notice;
        auto other = CCollection::Open(fixture.features.collection.service->Path(), error, notice);
        ASSERT_TRUE(other) << error;
        std::vector<CollectionProgramData> programs;
        CImportResult result;
        ASSERT_TRUE(other->SourceBankPrograms(older, programs, error)) << error;
        ASSERT_TRUE(other->SaveBankAsList("Live set", programs, result, error)) << error;
        fixture.features.collection.service->NotifyChanged();
    }

    // Without a receive: the file before the newest, against the newest.
    CCollectionHistory& history = OpenHistory();
    QComboBox& first = *history.FirstBox();
    ASSERT_EQ(first.count(), 3);
    EXPECT_EQ(first.itemText(0), "File: mk-programs-0x4C.syx");
    EXPECT_EQ(first.itemText(1), "File: ms2000-bank-0x4C.syx");
    EXPECT_EQ(first.itemText(2), "List: Live set");
    EXPECT_EQ(first.itemData(1, Qt::ToolTipRole).toString(), QDir::cleanPath(RealDump("ms2000-bank-0x4C.syx")));
    EXPECT_EQ(first.currentIndex(), 1);
    EXPECT_EQ(history.SecondBox()->currentIndex(), 0);
    EXPECT_EQ(history.Table()->rowCount(), 128);
    EXPECT_TRUE(history.Summary()->text().startsWith("128 of 128 slots differ")) << history.Summary()->text().toStdString();

    // The bank saved as a list is the file it came from.
    first.setCurrentIndex(2);
    history.SecondBox()->setCurrentIndex(1);
    history.OnCompare();
    EXPECT_EQ(history.Summary()->text(), "All 128 slots are unchanged.");
    EXPECT_TRUE(ShownSlots(*history.Table()).empty());
    EXPECT_EQ(history.Parameters()->Note()->text(), "All 128 slots are the same in both.");

    // A file chosen in the view's filter list comes first.
    Frame().show();
    fixture.features.collectionView->OnViewCollection();
    fixture.features.collectionView->View()->WaitForReads();
    QComboBox* filters = fixture.features.collectionView->View()->FilterBox();
    const int newerFilter = filters->findText("File: mk-programs-0x4C.syx");
    ASSERT_GE(newerFilter, 0);
    filters->setCurrentIndex(newerFilter);
    emit filters->activated(newerFilter);
    OpenHistory();
    EXPECT_EQ(first.currentIndex(), 0);
    EXPECT_EQ(history.SecondBox()->currentIndex(), 1);
}

}  // namespace
