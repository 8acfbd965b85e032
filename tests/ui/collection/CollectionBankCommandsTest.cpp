// Banks kept in the Collection as lists: saved from the bank pane, opened as the bank.

#include "Bank.h"
#include "Collection.h"
#include "DumpWriter.h"
#include "FrameTestSupport.h"
#include "SyxFormat.h"
#include "bank/BankCommands.h"
#include "collection/CollectionBankCommands.h"
#include "collection/CollectionFeatures.h"
#include "collection/CollectionPrompts.h"
#include "collection/CollectionTakeIn.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <QFile>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <functional>

namespace {

class CScriptedPrompts : public ICollectionPrompts {
public:
    bool AskText(QWidget*, const QString&, const QString&, const QString& suggestion, QString& answer) override
    {
        suggested = suggestion;
        answer = text;
        return !text.isEmpty();
    }
    bool AskChoice(QWidget*, const QString&, const QString&, const QStringList& offered, QString& answer) override
    {
        choices = offered;
        answer = choice;
        return !choice.isEmpty();
    }
    bool AskConfirm(QWidget*, const QString&, const QString& question, const QString&) override
    {
        asked = question;
        return confirm;
    }
    QString text, suggested, choice, asked;
    bool confirm = false;
    QStringList choices;
};

std::vector<unsigned char> DumpBytes(int seed)
{
    std::vector<std::vector<unsigned char>> programs;
    for (int i = 0; i < BANK_SLOT_COUNT; ++i)
        programs.push_back(MakeProgram("Bank " + std::to_string(i), i % 4, seed * 1000 + i));
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, programs);
}

class CollectionBankCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", folder.filePath("data").toUtf8());
        fixture.Create();
        Commands().SetPrompts(prompts);
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", saved); }

    CCollectionBankCommands& Commands() { return *fixture.features.collection.bank; }
    CBank OpenAsBank(const QString& name, int seed)
    {
        const std::vector<unsigned char> bytes = DumpBytes(seed);
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        file.close();
        fixture.Frame().OpenFiles({file.fileName()}, ILoadedList::ReadFailures::BoxForEach);
        fixture.features.collection.takeIn->WaitUntilIdle();
        std::string error;
        const std::optional<CBank> bank = CBank::ReadBytes(bytes.data(), bytes.size(), error);
        fixture.Bank().SetBank(*bank, name);
        return *bank;
    }

    // The dump of the list of that name, read through a connection of its own; empty (with a
    // failure) when there is no such list.
    std::vector<unsigned char> ListDump(const std::string& name)
    {
        std::string error;
        std::string notice;
        std::unique_ptr<CCollection> collection = CCollection::Open(CCollection::DefaultPath(), error, notice);
        std::vector<unsigned char> dump;
        CCollectionList list;
        EXPECT_NE(collection, nullptr) << error;
        if (collection == nullptr || !collection->FindList(name, list)) {
            ADD_FAILURE() << "no list \"" << name << "\"";
            return dump;
        }
        EXPECT_TRUE(collection->ListDump(list.id, dump, error)) << error;
        return dump;
    }

    QTemporaryDir folder;
    QByteArray saved;
    CFrameFixture fixture;
    CScriptedPrompts prompts;
};

TEST_F(CollectionBankCommandsTest, ABankSavedAsAListOpensAgainAsTheSameBank)
{
    const CBank first = OpenAsBank("first.syx", 1);
    prompts.text = "Live set";
    Commands().OnSaveBankToCollection();
    EXPECT_EQ(prompts.suggested, "first");   // the file's name, not "first.syx"
    EXPECT_TRUE(fixture.messageBox.shown.empty());

    EXPECT_EQ(ListDump("Live set"), first.BuildDump(0));   // as Save Bank As writes it

    const CBank second = OpenAsBank("second.syx", 2);
    ASSERT_NE(second, first);
    prompts.choice = "Live set";
    Commands().OnOpenBankFromCollection();
    EXPECT_EQ(prompts.choices, QStringList{"Live set"});
    ASSERT_NE(fixture.Bank().Bank(), nullptr);
    EXPECT_EQ(*fixture.Bank().Bank(), first);
    EXPECT_EQ(fixture.Bank().BankName(), "Live set");
}

TEST_F(CollectionBankCommandsTest, AListMadeTheBankComesBackAfterARestart)
{
    // Opened from the Collection, or received and kept there: the list comes back.
    const CBank first = OpenAsBank("first.syx", 7);
    prompts.text = "Live set";
    Commands().OnSaveBankToCollection();
    const CBank received = OpenAsBank("second.syx", 8);   // as a receive sets it: from nowhere
    struct Case {
        const char* what;
        std::function<void()> step;
        QString list;
        CBank bank;
    };
    const Case cases[] = {
        {"opened from the Collection", [&] { prompts.choice = "Live set"; Commands().OnOpenBankFromCollection(); },
         "Live set", first},
        {"received, then kept as a list", [&] {
             fixture.Bank().SetBank(received, "Synth 2026-12-07 14:32");
             prompts.text = "Synth backup";
             Commands().OnSaveBankToCollection();
         },
         "Synth backup", received},
    };
    for (const Case& test : cases) {
        test.step();
        fixture.Frame().close();
        CFrameFixture again;
        again.profile.values = fixture.profile.values;
        again.Create();
        ReopenLastBank(again.Frame(), again.features);
        again.Idle();
        ASSERT_NE(again.Bank().Bank(), nullptr) << test.what;
        EXPECT_EQ(*again.Bank().Bank(), test.bank) << test.what;
        EXPECT_EQ(again.Bank().BankName(), test.list) << test.what;
        EXPECT_TRUE(again.messageBox.shown.empty()) << test.what;
    }
}

TEST_F(CollectionBankCommandsTest, ABankOfProgramsTheCollectionLacksIsSavedAndOpensAgain)
{
    fixture.features.collection.takeIn->KeepAction()->setChecked(false);
    const CBank unkept = OpenAsBank("unkept.syx", 3);
    prompts.text = "Unkept";
    Commands().OnSaveBankToCollection();
    EXPECT_TRUE(fixture.messageBox.shown.empty());
    EXPECT_EQ(fixture.Frame().statusBar()->currentMessage(),
              "The bank was saved in the Collection as the list \"Unkept\"; 128 of its programs were new to the "
              "Collection");

    OpenAsBank("other.syx", 4);
    prompts.choice = "Unkept";
    Commands().OnOpenBankFromCollection();
    ASSERT_NE(fixture.Bank().Bank(), nullptr);
    EXPECT_EQ(*fixture.Bank().Bank(), unkept);
    EXPECT_TRUE(fixture.messageBox.shown.empty());
}

TEST_F(CollectionBankCommandsTest, SavingUnderANameInUseAsksAndKeepsTheListUnlessReplaced)
{
    const CBank first = OpenAsBank("first.syx", 5);
    prompts.text = "Live set";
    Commands().OnSaveBankToCollection();
    EXPECT_TRUE(prompts.asked.isEmpty());   // a new name asks nothing

    const CBank second = OpenAsBank("second.syx", 6);
    for (const bool replace : {false, true}) {
        prompts.asked.clear();
        prompts.confirm = replace;
        Commands().OnSaveBankToCollection();
        EXPECT_EQ(prompts.asked, "The Collection already holds a list named \"Live set\" (128 programs). Replace "
                                 "it with the bank?");
        EXPECT_EQ(ListDump("Live set"), (replace ? second : first).BuildDump(0)) << "replace " << replace;
    }
}

TEST(CollectionBankNames, AFilesBankIsOfferedAsTheListOfItsName)
{
    const std::pair<QString, QString> cases[] = {
        {"MyBank.syx", "MyBank"},
        {"Factory.v2.SYX", "Factory.v2"},
        {"Synth 2026-12-07 14:32", "Synth 2026-12-07 14:32"},
        {"Live set", "Live set"},
    };
    for (const auto& [bank, list] : cases)
        EXPECT_EQ(ListNameFor(bank), list) << bank.toStdString();
}

// The real questions, answered from inside their modal loop: wide enough for their title and
// what they offer.
TEST(CollectionPromptsTest, TheQuestionsAreWideEnoughToReadAndOfferWhatTheyAreGiven)
{
    CQtCollectionPrompts prompts;
    QWidget parent;
    struct Seen {
        int width = 0;
        int titleWidth = 0;
        QString offered;
    };
    const auto answer = [](Seen& seen) {
        QTimer::singleShot(0, [&seen] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->adjustSize();
            seen.width = dialog->width();
            seen.titleWidth = dialog->fontMetrics().horizontalAdvance(dialog->windowTitle());
            seen.offered = dialog->textValue();
            dialog->accept();
        });
    };
    Seen text;
    QString answered;
    answer(text);
    ASSERT_TRUE(prompts.AskText(&parent, "Save Bank to Collection", "Name of the list to keep the bank as:", "MyBank",
                                answered));
    EXPECT_EQ(answered, "MyBank");
    EXPECT_EQ(text.offered, "MyBank");
    EXPECT_GE(text.width, text.titleWidth + 100);

    Seen choice;
    answer(choice);
    const QStringList lists{"Live set", "A much longer list name from last year's tour"};
    ASSERT_TRUE(prompts.AskChoice(&parent, "Open Bank from Collection", "List of 128 programs to make the bank:", lists,
                                  answered));
    EXPECT_EQ(answered, "Live set");
    EXPECT_GE(choice.width, choice.titleWidth + 100);
    EXPECT_GE(choice.width, parent.fontMetrics().horizontalAdvance(lists[1]));
}

}  // namespace
