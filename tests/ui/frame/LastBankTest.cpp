// The bank comes back after a restart: the bank the last session closed with, from its file
// (or the Collection list it came from, tests/ui/collection), as it was last saved; unsaved
// changes are asked about at Exit as ever.

#include "Bank.h"
#include "FrameTestSupport.h"
#include "InitProgram.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"
#include "grid/ProgramGrid.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace {

class LastBankTest : public ::testing::Test {
protected:
    using Session = std::unique_ptr<CFrameFixture>;

    // Starts Veltrix on the settings the last session left.
    Session Start()
    {
        QCursor::setPos(QPoint(10000, 10000));   // no button under the pointer to fill the status bar
        auto session = std::make_unique<CFrameFixture>();
        session->profile.values = settings;
        session->Create().show();
        ReopenLastBank(session->Frame(), session->features);
        session->Idle();
        return session;
    }
    // File > Exit, answering the unsaved-changes question with `answer`.
    void Quit(Session& session, SaveChoice answer = SaveChoice::Discard)
    {
        session->questions.answer = answer;
        session->Frame().close();
        settings = session->profile.values;
        session.reset();
    }

    QString WriteBank(const QString& name, int seed)
    {
        std::vector<std::vector<unsigned char>> programs;
        for (int i = 0; i < BANK_SLOT_COUNT; ++i)
            programs.push_back(MakeProgram("P" + std::to_string(seed) + "-" + std::to_string(i), i % 4, seed + i));
        return WriteDump(folder.filePath(name), programs, FUNC_PROGRAM_DUMP);
    }
    static CBank BankOf(const QString& path)
    {
        std::string error;
        return *CBank::ReadFile(QFile::encodeName(path).toStdString(), error);
    }
    static void OpenBank(CFrameFixture& session, const QString& path)
    {
        session.fileDialogs.nextOpen = {path};
        session.Bank().Action(ID_FILE_OPEN_BANK)->trigger();
    }
    // Puts the list's first program in the bank's first slot: a change not saved.
    static void ChangeBank(CFrameFixture& session, const QString& libraryFile)
    {
        session.Frame().OpenFiles({libraryFile});
        CProgramGrid* grid = session.Frame().Grid();
        grid->selectionModel()->select(grid->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        session.Bank().Pane()->SelectSlot(0);
        session.Idle();
        session.Bank().Action(ID_PROGRAM_PUT_IN_BANK)->trigger();
        ASSERT_TRUE(session.Bank().Pane()->IsModified());
    }

    std::map<QString, QString> settings;
    QTemporaryDir folder;
};

TEST_F(LastBankTest, TheBankComesBackAsItWasLastSaved)
{
    const QString a = WriteBank("A.syx", 1);
    const QString b = WriteBank("B.syx", 2);
    const QString changed = WriteBank("Changed.syx", 3);
    const QString one = WriteDump(folder.filePath("One.syx"), {MakeProgram("Lead", 1, 9)}, FUNC_CURRENT_PROGRAM);
    CBank aWithLead = BankOf(a);
    aWithLead.PutProgram(0, MakeProgram("Lead", 1, 9).data(), PROGRAM_DATA_SIZE);

    struct Case {
        const char* what;
        std::function<void(CFrameFixture&)> session;
        SaveChoice answerAtExit;
        std::optional<CBank> back;   // none: no bank after the restart
        QString file;                // where Save Bank then writes without asking
    };
    const Case cases[] = {
        {"Open Bank", [&](CFrameFixture& s) { OpenBank(s, a); }, SaveChoice::Cancel, BankOf(a), a},
        {"Use as Bank",
         [&](CFrameFixture& s) {
             s.Frame().OpenFiles({b});
             s.Frame().Grid()->setCurrentIndex(s.Frame().Grid()->model()->index(5, 0));
             s.Idle();   // the commands' states follow the selection when idle
             s.Bank().Action(ID_PROGRAM_USE_AS_BANK)->trigger();
         },
         SaveChoice::Cancel, BankOf(b), b},
        {"changes discarded at Exit",
         [&](CFrameFixture& s) {
             OpenBank(s, a);
             ChangeBank(s, one);
         },
         SaveChoice::Discard, BankOf(a), a},
        {"changes saved at Exit",
         [&](CFrameFixture& s) {
             OpenBank(s, changed);
             ChangeBank(s, one);
         },
         SaveChoice::Save, std::nullopt, changed},
        {"New Bank saved as a file",
         [&](CFrameFixture& s) {
             s.Bank().Action(ID_FILE_NEW_BANK)->trigger();
             s.Idle();
             s.fileDialogs.nextSave = folder.filePath("Fresh.syx");
             s.Bank().Action(ID_FILE_SAVE_BANK)->trigger();
         },
         SaveChoice::Cancel, InitBank(), folder.filePath("Fresh.syx")},
        {"New Bank never saved", [&](CFrameFixture& s) { s.Bank().Action(ID_FILE_NEW_BANK)->trigger(); },
         SaveChoice::Cancel, std::nullopt, QString()},
        {"a receive never saved", [&](CFrameFixture& s) { s.Bank().SetBank(BankOf(b), "Synth 2026-12-07 14:32"); },
         SaveChoice::Cancel, std::nullopt, QString()},
    };
    for (const Case& test : cases) {
        settings.clear();
        Session first = Start();
        test.session(*first);
        ASSERT_TRUE(first->Bank().HasBank()) << test.what;
        Quit(first, test.answerAtExit);
        ASSERT_EQ(first, nullptr) << test.what << ": the window did not close";

        Session again = Start();
        const CBank* bank = again->Bank().Bank();
        std::optional<CBank> expected = test.back;
        if (!expected && !test.file.isEmpty())
            expected = BankOf(test.file);   // what was saved at Exit
        if (!expected) {
            EXPECT_EQ(bank, nullptr) << test.what;
            continue;
        }
        ASSERT_NE(bank, nullptr) << test.what;
        EXPECT_EQ(*bank, *expected) << test.what;
        EXPECT_FALSE(again->Bank().Pane()->IsModified()) << test.what;
        EXPECT_TRUE(again->messageBox.shown.empty()) << test.what;
        // Saved again without a question, to the file it came from.
        again->Bank().Action(ID_FILE_SAVE_BANK)->trigger();
        EXPECT_EQ(again->fileDialogs.saveCalls, 0) << test.what;
        EXPECT_EQ(BankOf(test.file), *bank) << test.what;
    }
}

TEST_F(LastBankTest, ABankFileThatIsGoneIsToldAndNothingComesBack)
{
    const QString gone = WriteBank("Gone.syx", 4);
    Session first = Start();
    OpenBank(*first, gone);
    Quit(first);
    QFile::remove(gone);

    Session again = Start();
    EXPECT_EQ(again->Bank().Bank(), nullptr);
    EXPECT_EQ(again->Frame().statusBar()->currentMessage(),
              QString("The last bank, %1, could not be opened again: the file is no longer there").arg(gone));
    EXPECT_TRUE(again->messageBox.shown.empty());

    // The next session starts without one either.
    Quit(again);
    Session third = Start();
    EXPECT_EQ(third->Bank().Bank(), nullptr);
    EXPECT_EQ(third->Frame().statusBar()->currentMessage(), QString());
}

}  // namespace
