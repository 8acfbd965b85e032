// Taking files in many to a transaction (CImportBatch): the same Collection as file by file,
// a file that fails leaving the others, and nothing but what was told kept when a batch
// ends without its commit.

#include "CollectionFieldsSupport.h"
#include "CollectionTestSupport.h"

#include "ImportBatch.h"

#include <algorithm>

namespace {

Bytes Renamed(Bytes program, const std::string& name)
{
    std::fill(program.begin(), program.begin() + 12, ' ');
    std::copy(name.begin(), name.end(), program.begin());
    return program;
}

struct CTold {
    bool taken = false;
    CImportResult result;
    std::string error;
};

void ExpectSameOutcome(const CTold& expected, const CImportBatch::COutcome& actual, const std::string& what)
{
    EXPECT_EQ(actual.taken, expected.taken) << what;
    EXPECT_EQ(actual.error, expected.error) << what;
    EXPECT_EQ(actual.result.source, expected.result.source) << what;
    EXPECT_EQ(actual.result.programs, expected.result.programs) << what;
    EXPECT_EQ(actual.result.newPrograms, expected.result.newPrograms) << what;
    EXPECT_EQ(actual.result.messages, expected.result.messages) << what;
    EXPECT_EQ(actual.result.alreadyKnown, expected.result.alreadyKnown) << what;
    EXPECT_EQ(actual.result.fileRefused, expected.result.fileRefused) << what;
}

// What the change log and the name search tell, for comparing two Collections made alike.
struct CFound {
    std::int64_t last = 0;
    std::vector<CollectionId> changed;
    std::vector<std::vector<CollectionId>> named;
};

CFound ReadFound(CCollection& collection)
{
    CFound found;
    found.last = collection.LastChange();
    CCollectionChanges changes;
    EXPECT_TRUE(collection.ChangesSince(0, changes, 100000));
    found.changed = changes.programs;
    for (const char* fragment : {"a 1", "B", "one", "c 12", "zz"})
        found.named.push_back(collection.ProgramsNamed(fragment));
    return found;
}

class CollectionBatch : public CCollectionTest
{
protected:
    // Two banks sharing half their sounds under other names, one program seen under a third
    // name, the first bank again, a bank holding one sound twice, and, between them, a file
    // that is no dump and one that is missing.
    std::vector<std::string> MakeFiles()
    {
        const std::vector<Bytes> a = MakeBankPrograms("A", 1);
        std::vector<Bytes> b = MakeBankPrograms("B", 500);
        for (int i = 0; i < 64; ++i)
            b[static_cast<std::size_t>(i)] = Renamed(a[static_cast<std::size_t>(i) * 2], "B " + std::to_string(i));
        std::vector<Bytes> c = MakeBankPrograms("C", 900);
        c[127] = c[3];
        return {WriteFile("a.syx", BankDump(a)),
                WriteFile("bad.syx", Bytes(300, 0x42)),
                WriteFile("b.syx", BankDump(b)),
                WriteFile("one.syx", OneProgramDump(Renamed(a[5], "One"))),
                PathOf("missing.syx"),
                WriteFile("a-again.syx", BankDump(a)),
                WriteFile("c.syx", BankDump(c))};
    }
};

TEST_F(CollectionBatch, GivesWhatFileByFileGives)
{
    const std::vector<std::string> files = MakeFiles();
    std::vector<CTold> expected;
    CCollectionFields expectedFields;
    CFound expectedFound;
    {
        auto collection = OpenCollection();
        for (std::size_t i = 0; i < files.size(); ++i) {
            CTold told;
            told.taken = collection->ImportFile(files[i], told.result, told.error, 1000 + static_cast<std::int64_t>(i));
            expected.push_back(told);
        }
        expectedFields = ReadFields(*collection);
        expectedFound = ReadFound(*collection);
    }
    // A commit after every file that wrote, and all of them in one transaction.
    for (const double commitAfter : {0.0, 1e9}) {
        const std::string what = "committed after " + std::to_string(commitAfter) + " s";
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        MakeFiles();
        auto collection = OpenCollection();
        std::vector<CImportBatch::COutcome> told;
        {
            CImportBatch batch(*collection, [&](const CImportBatch::COutcome& outcome) { told.push_back(outcome); },
                               commitAfter);
            for (std::size_t i = 0; i < files.size(); ++i)
                batch.Add(files[i], 1000 + static_cast<std::int64_t>(i));
            EXPECT_TRUE(batch.Commit()) << what;
        }
        ASSERT_EQ(told.size(), files.size()) << what;
        for (std::size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(told[i].path, files[i]) << what;
            ExpectSameOutcome(expected[i], told[i], what + ", " + files[i]);
        }
        ExpectSameFields(expectedFields, ReadFields(*collection), what);
        const CFound found = ReadFound(*collection);
        EXPECT_EQ(found.last, expectedFound.last) << what;
        EXPECT_EQ(found.changed, expectedFound.changed) << what;
        EXPECT_EQ(found.named, expectedFound.named) << what;
    }
}

TEST_F(CollectionBatch, KeepsWhatWasToldAndNothingOfWhatWasNot)
{
    const std::vector<std::string> files = MakeFiles();
    auto collection = OpenCollection();
    auto view = OpenCollection();   // another connection, as another process has
    std::vector<std::string> told;
    {
        CImportBatch batch(*collection, [&](const CImportBatch::COutcome& outcome) { told.push_back(outcome.path); },
                           1e9);
        batch.Add(files[0]);
        batch.Add(files[2]);
        // Nothing is told, nor seen by another connection, before its commit.
        EXPECT_TRUE(told.empty());
        EXPECT_TRUE(view->Sources().empty());
        ASSERT_TRUE(batch.Commit());
        EXPECT_EQ(told, (std::vector<std::string>{files[0], files[2]}));
        EXPECT_EQ(view->Sources().size(), 2u);
        // Interrupted before its commit: this file is neither told nor kept.
        batch.Add(files[6]);
    }
    EXPECT_EQ(told.size(), 2u);
    EXPECT_EQ(view->Sources().size(), 2u);
    // The sound index forgot the programs rolled back: they are new when the file comes again.
    CImportResult result;
    std::string error;
    ASSERT_TRUE(collection->ImportFile(files[6], result, error)) << error;
    EXPECT_EQ(result.newPrograms, 127);
    CCollectionCheck report;
    ASSERT_TRUE(collection->FullCheck(report, error)) << error;
    EXPECT_TRUE(report.Clean());
    EXPECT_EQ(collection->Sources().size(), 3u);
}

} // namespace
