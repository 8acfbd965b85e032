// Program > Compare Programs... in a main window offscreen: the last two programs selected in
// the list, the bank or the Collection (a real database in a temporary folder) compared
// parameter by parameter, and the command greyed unless there are exactly two.

#include "ChangedParameter.h"
#include "CollectionTestSupport.h"
#include "FrameTestSupport.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "bank/BankCommands.h"
#include "bank/BankGrid.h"
#include "bank/BankPane.h"
#include "collection/CollectionCommands.h"
#include "collection/CollectionTable.h"
#include "collection/CollectionView.h"
#include "grid/ProgramGrid.h"
#include "parameters/CompareProgramsCommand.h"
#include "parameters/CompareProgramsWindow.h"
#include "parameters/SynthModelSetting.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTest>

namespace {

// The slot the tests change: a Single program, so that its timbre 1 and mod sequencer show.
int FirstSingleSlot(const CBank& bank)
{
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        if (((bank.GetProgram(slot)[16] >> 4) & 3) == 0)
            return slot;
    return 0;
}

class CompareProgramsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_REAL_DUMPS();
        std::string error;
        const std::optional<CBank> read = CBank::ReadFile(RealDump("ms2000-bank-0x4C.syx").toStdString(), error);
        ASSERT_TRUE(read) << error;
        bank = *read;
        slot = FirstSingleSlot(bank);
        source = db.Import("ms2000-bank-0x4C.syx");

        fixture.midi.AddDevice("UM-ONE MIDI 1");
        CMainFrame& frame = fixture.Create();
        fixture.features.collectionView->SetCollection(&db.Db());
        frame.resize(1000, 700);
        frame.show();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        fixture.features.collectionView->Action(ID_VIEW_COLLECTION)->trigger();
        fixture.fileDialogs.nextOpen = {RealDump("ms2000-bank-0x4C.syx")};
        frame.OnFileOpen();
        fixture.Idle();
    }

    CCompareProgramsCommand& Compare() { return *fixture.features.comparePrograms; }
    CCollectionView& Collection() { return *fixture.features.collectionView->View(); }
    bool CanCompare()
    {
        fixture.Idle();
        return Compare().Action()->isEnabled();
    }
    // Selects these rows of a view and gives it the focus, as clicks would.
    static void Choose(QAbstractItemView& view, const std::vector<int>& rows)
    {
        view.selectionModel()->clearSelection();
        for (int row : rows)
            view.selectionModel()->select(view.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view.setFocus();
    }
    void ChooseInCollection(const std::vector<CollectionId>& ids)
    {
        Collection().SelectIds(ids);
        Collection().Table()->setFocus();
    }
    // A one-program file of `program` taken into the Collection; its program's id.
    CollectionId TakeIn(const CBank::ProgramData& program, const char* name)
    {
        const std::vector<unsigned char> bytes = BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, program.data(),
                                                                  PROGRAM_DATA_SIZE);
        CImportResult result;
        std::string error;
        EXPECT_TRUE(db.Db().ImportFileBytes(db.Folder().toStdString() + "/" + name, bytes, result, error)) << error;
        fixture.features.collectionView->Refresh();
        return db.Db().SourcePrograms(result.source).at(0);
    }
    const CCompareProgramsWindow& CompareNow()
    {
        EXPECT_TRUE(CanCompare());
        Compare().Action()->trigger();
        EXPECT_NE(Compare().Window(), nullptr);
        return *Compare().Window();
    }

    CTestCollection db;
    CFrameFixture fixture;
    CBank bank = *CBank::FromProgramData(std::vector<CBank::ProgramData>(BANK_SLOT_COUNT));
    int slot = 0;
    CollectionId source = 0;
};

TEST_F(CompareProgramsTest, TwoProgramsSelectedInTheCollectionAreComparedParameterByParameter)
{
    CBank::ProgramData edited = bank.GetProgram(slot);
    const std::vector<CDifferenceRow> expected = {
        Row(ChangeParameter(edited.data(), ParamSection::Common, "Arp Swing")),
        Row(ChangeParameter(edited.data(), ParamSection::Timbre1, "OSC2 Semitone")),
        Row(ChangeParameter(edited.data(), ParamSection::Timbre1, "Amp Level")),
    };
    const CollectionId editedId = TakeIn(edited, "edited.syx");
    const CollectionId originalId = db.Db().SourcePrograms(source).at(static_cast<std::size_t>(slot));

    ChooseInCollection({originalId, editedId});
    const CCompareProgramsWindow& window = CompareNow();
    EXPECT_TRUE(window.isVisible());
    const std::string name = ProgramNameText(edited.data());
    EXPECT_EQ(window.FirstLabel()->text().toStdString(),
              "First: " + name + " (Collection, id " + std::to_string(originalId) + ")");
    EXPECT_EQ(window.SecondLabel()->text().toStdString(),
              "Second: " + name + " (Collection, id " + std::to_string(editedId) + ")");
    EXPECT_EQ(ShownRows(*window.Differences()), expected);
    EXPECT_EQ(window.Differences()->Note()->text(), "3 parameters differ.");

    // A program of another voice mode: only what both have, and the note says so.
    int vocoder = 0;
    while (vocoder < BANK_SLOT_COUNT && ((bank.GetProgram(vocoder)[16] >> 4) & 3) != 3)
        ++vocoder;
    ASSERT_LT(vocoder, BANK_SLOT_COUNT) << "the real bank holds a Vocoder program";
    ChooseInCollection({originalId, db.Db().SourcePrograms(source).at(static_cast<std::size_t>(vocoder))});
    CompareNow();
    EXPECT_TRUE(window.Differences()->Note()->text().endsWith(
        "The voice modes differ: only the parameters both programs have are compared."));
}

TEST_F(CompareProgramsTest, OneInTheListAndOneInTheBankAreComparedTheEarlierSelectedFirst)
{
    CBank::ProgramData edited = bank.GetProgram(slot);
    const CDifferenceRow cutoff = Row(ChangeParameter(edited.data(), ParamSection::Timbre1, "Cutoff"));
    const CDifferenceRow step = Row(ChangeParameter(edited.data(), ParamSection::Timbre1, "SEQ2 Step 16"));
    CBank live = bank;
    live.PutProgram(slot, edited.data(), PROGRAM_DATA_SIZE);
    fixture.Bank().SetBank(live, "Live.syx");
    CBankPane& pane = *fixture.Bank().Pane();

    Choose(*fixture.Frame().Grid(), {slot});
    EXPECT_FALSE(CanCompare());   // one program, and none selected before it
    pane.SelectSlot(slot);
    pane.Grid()->setFocus();
    const CCompareProgramsWindow& window = CompareNow();
    const QString name = QString::fromStdString(ProgramNameText(edited.data()));
    const QString slotName = QString::fromStdString(CBank::SlotName(slot));
    EXPECT_EQ(window.FirstLabel()->text(),
              QString("First: %1 (ms2000-bank-0x4C %2 %3)").arg(name, slotName.left(1), slotName.mid(2)));
    EXPECT_EQ(window.SecondLabel()->text(), QString("Second: %1 (the bank, %2)").arg(name, slotName));
    EXPECT_EQ(ShownRows(*window.Differences()), (std::vector<CDifferenceRow>{cutoff, step}));

    // The microKORG has no mod sequencer: the window shows the two again without it.
    fixture.features.synthModel->Action(ID_VIEW_SYNTH_MICROKORG)->trigger();
    EXPECT_EQ(ShownRows(*window.Differences()), (std::vector<CDifferenceRow>{cutoff}));
    fixture.features.synthModel->Action(ID_VIEW_SYNTH_MS2000)->trigger();

    // Back in the list: now the bank's slot was selected first.
    fixture.Frame().Grid()->setFocus();
    CompareNow();
    EXPECT_TRUE(window.FirstLabel()->text().endsWith("(the bank, " + slotName + ")"));
    std::vector<CDifferenceRow> swapped = {cutoff, step};
    for (CDifferenceRow& row : swapped)
        std::swap(row[2], row[3]);
    EXPECT_EQ(ShownRows(*window.Differences()), swapped);
}

TEST_F(CompareProgramsTest, TheCommandWaitsForExactlyTwoProgramsLastSelected)
{
    const std::vector<CollectionId> ids = db.Db().SourcePrograms(source);
    QAbstractItemView& list = *fixture.Frame().Grid();
    const struct {
        const char* what;
        std::function<void()> select;
        bool enabled;
    } steps[] = {
        {"nothing selected", [&] { Choose(list, {}); }, false},
        {"three in the list", [&] { Choose(list, {0, 1, 2}); }, false},
        {"two in the list", [&] { Choose(list, {0, 1}); }, true},
        {"one in the Collection after two in the list", [&] { ChooseInCollection({ids[5]}); }, false},
        {"one in the list after one in the Collection", [&] { Choose(list, {7}); }, true},
        {"two in the Collection", [&] { ChooseInCollection({ids[5], ids[6]}); }, true},
        {"the Collection closed, two in it", [&] { fixture.features.collectionView->Pane()->hide(); }, false},
    };
    for (const auto& step : steps) {
        step.select();
        EXPECT_EQ(CanCompare(), step.enabled) << step.what;
    }
}

}  // namespace
