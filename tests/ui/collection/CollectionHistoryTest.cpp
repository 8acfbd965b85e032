// The History window, in a main window with the synthesizer at the far end of the test MIDI
// services, on a real database in a temporary folder: receives compared with each other
// and with the bank, and a receive sent back as Send Bank to Synth sends a bank.

#include "Bank.h"
#include "CollectionTestSupport.h"
#include "DumpWriter.h"
#include "SynthTestSupport.h"
#include "collection/CollectionCommands.h"
#include "collection/CollectionHistory.h"
#include "collection/CollectionHistoryCommand.h"
#include "collection/CollectionService.h"
#include "collection/CollectionView.h"

#include <QComboBox>
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

    QTemporaryDir data;
    QByteArray saved;
};

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
        {64, "E 001", "Bank 64", "Bank 64", "changed"},
        {127, "H 016", "Bank 127", "Both", "changed"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(table.item(row.row, 0)->text(), row.slot);
        EXPECT_EQ(table.item(row.row, 1)->text(), row.first);
        EXPECT_EQ(table.item(row.row, 2)->text(), row.second);
        EXPECT_EQ(table.item(row.row, 3)->text(), row.mark);
    }
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
    EXPECT_EQ(history.Table()->item(17, 3)->text(), "changed");
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

}  // namespace
