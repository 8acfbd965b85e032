// What a Collection does with damage and with crafted input: stored bytes that rotted are
// refused wherever they would be used and found by the full check, failed reads are errors,
// colliding keys and hashes find the right sound and source, files of several messages and
// files that are not dumps.

#include "CollectionTestSupport.h"

#include "SoundBlocks.h"
#include "SoundIndex.h"
#include "SoundKey.h"
#include "SqliteDb.h"
#include "SyxFormat.h"

#include <sys/stat.h>

#include <algorithm>
#include <functional>

namespace {

std::unique_ptr<CSqliteDb> Raw(const std::string& path)
{
    int code = 0;
    std::string error;
    auto db = CSqliteDb::Open(path, code, error);
    EXPECT_TRUE(db) << error;
    return db;
}

} // namespace

using CollectionIntegrity = CCollectionTest;

TEST_F(CollectionIntegrity, ASourceWhoseBytesRottedIsRefusedWhereverItWouldBeUsed)
{
    auto collection = OpenCollection();
    std::string error;
    CImportResult good, bad;
    const std::vector<Bytes> programs = MakeBankPrograms("Rot", 1);
    ASSERT_TRUE(collection->ImportFileBytes("/good.syx", BankDump(MakeBankPrograms("Good", 5000)), good, error));
    ASSERT_TRUE(collection->ImportFileBytes("/rotten.syx", BankDump(programs), bad, error));
    const CollectionId program = collection->SourcePrograms(bad.source)[3];
    ASSERT_TRUE(collection->SaveList("from rotten", collection->SourcePrograms(bad.source), error));
    CCollectionList list;
    ASSERT_TRUE(collection->FindList("from rotten", list));
    // One byte of the stored dump changed, as a disk or another program might.
    ASSERT_TRUE(Raw(DbPath())->Exec("UPDATE source SET bytes = substr(bytes, 1, 100) || x'11' || substr(bytes, 102)"
                                    " WHERE name = '/rotten.syx'"));

    const std::string named = "The stored bytes of /rotten.syx are damaged";
    Bytes bytes;
    CollectionProgramData data{};
    std::vector<CollectionProgramData> bank;
    std::vector<CSlotDifference> differences;
    const struct {
        const char* what;
        std::function<bool()> read;
    } reads[] = {
        {"export of the source", [&] { return collection->SourceBytes(bad.source, bytes); }},
        {"its global block", [&] { return collection->SourceGlobalBlock(bad.source, bytes); }},
        {"a program of it", [&] { return collection->ProgramData(program, data); }},
        {"its bank, to send", [&] { return collection->SourceBankPrograms(bad.source, bank, error); }},
        {"a compare", [&] { return collection->Compare(good.source, bad.source, differences, error); }},
        {"a list of its programs", [&] { return collection->ListDump(list.id, bytes, error); }},
    };
    for (const auto& r : reads) {
        error.clear();
        EXPECT_FALSE(r.read()) << r.what;
        EXPECT_EQ(collection->ReadError().rfind(named, 0), 0u) << r.what << ": " << collection->ReadError();
    }
    // The good source is still whole, and taking the file in again reaches its sounds.
    EXPECT_TRUE(collection->SourceBytes(good.source, bytes));
    EXPECT_FALSE(collection->ReadFailed());

    CCollectionCheck report;
    ASSERT_TRUE(collection->FullCheck(report, error)) << error;
    EXPECT_TRUE(report.fileIntact);
    EXPECT_EQ(report.sourcesChecked, 2);
    ASSERT_EQ(report.damagedSources.size(), 1u);
    EXPECT_EQ(report.damagedSources[0].name, "/rotten.syx");
    EXPECT_FALSE(report.Clean());
}

TEST_F(CollectionIntegrity, AFailedReadIsAnErrorNotAnEmptyAnswer)
{
    auto collection = OpenCollection();
    std::string error;
    CImportResult result;
    ASSERT_TRUE(collection->ImportFileBytes("/bank.syx", BankDump(MakeBankPrograms("Bank", 1)), result, error));
    ASSERT_TRUE(collection->SaveList("mine", collection->SourcePrograms(result.source), error));
    // Another program takes the tables away under the connection.
    ASSERT_TRUE(Raw(DbPath())->Exec("ALTER TABLE program RENAME TO gone; ALTER TABLE source RENAME TO gone2;"
                                    "ALTER TABLE tag RENAME TO gone3; ALTER TABLE list RENAME TO gone4;"
                                    "ALTER TABLE source_slots RENAME TO gone5; ALTER TABLE list_entry RENAME TO gone6;"
                                    "ALTER TABLE change_log RENAME TO gone7"));
    CCollectionQuery named;
    named.text = "bank 1";
    CCollectionQuery shortName;
    shortName.text = "b";
    CCollectionProgram program;
    CCollectionList list;
    std::vector<CCollectionRow> rows;
    CCollectionChanges changes;
    const struct {
        const char* what;
        std::function<void()> read;
    } reads[] = {
        {"Search", [&] { EXPECT_TRUE(collection->Search({}).empty()); }},
        {"Search by name", [&] { EXPECT_TRUE(collection->Search(named).empty()); }},
        {"Search by a short name", [&] { EXPECT_TRUE(collection->Search(shortName).empty()); }},
        {"SearchRows", [&] { EXPECT_TRUE(collection->SearchRows({}).empty()); }},
        {"Sources", [&] { EXPECT_TRUE(collection->Sources().empty()); }},
        {"Tags", [&] { EXPECT_TRUE(collection->Tags().empty()); }},
        {"Lists", [&] { EXPECT_TRUE(collection->Lists().empty()); }},
        {"GetProgram", [&] { EXPECT_FALSE(collection->GetProgram(1, program)); }},
        {"ProgramNames", [&] { EXPECT_TRUE(collection->ProgramNames(1).empty()); }},
        {"SourcePrograms", [&] { EXPECT_TRUE(collection->SourcePrograms(result.source).empty()); }},
        {"ListPrograms", [&] { EXPECT_TRUE(collection->ListPrograms(1).empty()); }},
        {"FindList", [&] { EXPECT_FALSE(collection->FindList("mine", list)); }},
        {"ReadRows", [&] { EXPECT_FALSE(collection->ReadRows({1, 2}, rows)); }},
        {"ChangesSince", [&] { EXPECT_FALSE(collection->ChangesSince(0, changes)); }},
    };
    for (const auto& r : reads) {
        r.read();
        EXPECT_TRUE(collection->ReadFailed()) << r.what;
        EXPECT_FALSE(collection->ReadError().empty()) << r.what;
    }
}

TEST_F(CollectionIntegrity, SoundsAndSourcesThatShareAKeyOrHashAreToldApartByTheirBytes)
{
    // SipHash-2-4 as its authors give it: key 00..0f, message 00..0e.
    SoundHashKey key{};
    Bytes message;
    for (unsigned char i = 0; i < 16; ++i)
        key[i] = i;
    for (unsigned char i = 0; i < 15; ++i)
        message.push_back(i);
    EXPECT_EQ(SipHash24(key, message.data(), message.size()), 0xa129ca6149be45e5ull);

    // Each Collection has a key of its own: a file crafted against one collides in no other.
    OpenCollection();
    std::string openError, notice;
    auto other = CCollection::Open(PathOf("other.sqlite"), openError, notice);
    ASSERT_TRUE(other);
    SoundHashKey first{}, second{};
    ASSERT_TRUE(ReadSoundHashKey(*Raw(DbPath()), first));
    ASSERT_TRUE(ReadSoundHashKey(*Raw(PathOf("other.sqlite")), second));
    EXPECT_NE(first, second);

    auto collection = OpenCollection();
    std::string error;
    CImportResult a, b, again;
    ASSERT_TRUE(collection->ImportFileBytes("/a.syx", OneProgramDump(MakeProgram("A", 1)), a, error));
    ASSERT_TRUE(collection->ImportFileBytes("/b.syx", OneProgramDump(MakeProgram("B", 2)), b, error));
    const CollectionId programA = collection->SourcePrograms(a.source)[0];
    const CollectionId programB = collection->SourcePrograms(b.source)[0];
    // B given A's key (as two sounds sharing a key would be), and the second file given the
    // first's size and hashes (as a crafted file could have): B's sound and file are still B's.
    ASSERT_TRUE(Raw(DbPath())->Exec(("UPDATE program SET sound_key = (SELECT sound_key FROM program WHERE id = "
                                     + std::to_string(programA) + ") WHERE id = " + std::to_string(programB)).c_str()));
    ASSERT_TRUE(Raw(DbPath())->Exec("UPDATE source SET (content_hash, content_check, size) = (SELECT content_hash,"
                                    " content_check, size FROM source WHERE name = '/a.syx') WHERE name = '/b.syx'"));
    collection = OpenCollection();
    ASSERT_TRUE(collection->ImportFileBytes("/a again.syx", OneProgramDump(MakeProgram("A again", 1)), again, error));
    EXPECT_FALSE(again.alreadyKnown);
    EXPECT_EQ(again.newPrograms, 0);
    EXPECT_EQ(collection->SourcePrograms(again.source)[0], programA);
    CImportResult copy;
    ASSERT_TRUE(collection->ImportFileBytes("/copy of a.syx", OneProgramDump(MakeProgram("A", 1)), copy, error));
    EXPECT_TRUE(copy.alreadyKnown);
    EXPECT_EQ(copy.source, a.source);
}

TEST_F(CollectionIntegrity, TheSoundFilterHoldsEveryKeyPutInIt)
{
    std::vector<unsigned char> filter(8192, 0);
    for (std::uint64_t key = 1; key < 4000; ++key)
        SoundFilterAdd(filter, key * 0x9E3779B97F4A7C15ull);
    int falsePositives = 0;
    for (std::uint64_t key = 1; key < 4000; ++key) {
        EXPECT_TRUE(SoundFilterMayHold(filter, key * 0x9E3779B97F4A7C15ull));
        falsePositives += SoundFilterMayHold(filter, key * 0xC2B2AE3D27D4EB4Full + 7) ? 1 : 0;
    }
    EXPECT_LT(falsePositives, 40);   // about 0.2% at 16 bits a key
    EXPECT_TRUE(SoundFilterMayHold({}, 42));   // no filter: every key may be there
}

TEST_F(CollectionIntegrity, KeysPutInTogetherSetTheBitsThatOneAtATimeDo)
{
    // A filter of 16 regions, and one too small to be split.
    for (const std::size_t bytes : {std::size_t(2) << 20, std::size_t(8192)}) {
        std::vector<std::uint64_t> keys;
        for (std::uint64_t key = 1; key <= 100000; ++key)
            keys.push_back(key * 0x9E3779B97F4A7C15ull);
        std::vector<unsigned char> oneAtATime(bytes, 0);
        for (const std::uint64_t key : keys)
            SoundFilterAdd(oneAtATime, key);
        std::vector<unsigned char> together(bytes, 0);
        together[0] = 0x80;   // bits already set stay set
        oneAtATime[0] |= 0x80;
        SoundFilterAddAll(together, keys);
        EXPECT_TRUE(together == oneAtATime) << bytes << " bytes";
    }
}

TEST_F(CollectionIntegrity, AFileOfSeveralMessagesGivesTheProgramsOfEachAndComesBackWhole)
{
    const std::vector<Bytes> first = MakeBankPrograms("One", 1);
    const std::vector<Bytes> second = MakeBankPrograms("Two", 1000);
    const Bytes global = {0xF0, 0x42, 0x30, 0x58, 0x51, 0x01, 0x02, 0xF7};
    auto concat = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    Bytes cutSecond = concat({BankDump(first), BankDump(second)});
    cutSecond.resize(cutSecond.size() - 500);
    const struct {
        const char* what;
        Bytes bytes;
        int programs;   // 0: refused
        int messages;
        std::string error;
    } cases[] = {
        {"two banks", concat({BankDump(first), BankDump(second)}), 256, 2, ""},
        {"a global message, then a bank", concat({global, BankDump(second)}), 128, 2, ""},
        {"a bank, then one program", concat({BankDump(first), OneProgramDump(MakeProgram("Solo", 7))}), 129, 2, ""},
        {"a bank, junk, a program", concat({BankDump(first), Bytes{1, 2, 3}, OneProgramDump(MakeProgram("X", 9))}),
         129, 2, ""},
        {"the second bank cut short", cutSecond, 0, 1,
         "Message 2 of the file: Failed to read file, patch data appears to be corrupted"},
        {"only a global message", global, 0, 1, "File is not a valid Korg Syx File"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        auto collection = OpenCollection();
        CImportResult result;
        std::string error;
        const bool taken = collection->ImportFile(WriteFile("file.syx", c.bytes), result, error);
        ASSERT_EQ(taken, c.programs > 0) << c.what << ": " << error;
        if (!taken) {
            EXPECT_EQ(error, c.error) << c.what;
            EXPECT_TRUE(result.fileRefused) << c.what;
            EXPECT_TRUE(collection->Sources().empty()) << c.what;
            continue;
        }
        EXPECT_EQ(result.programs, c.programs) << c.what;
        EXPECT_EQ(result.messages, c.messages) << c.what;
        EXPECT_EQ(collection->SourcePrograms(result.source).size(), static_cast<std::size_t>(c.programs));
        Bytes exported;
        ASSERT_TRUE(collection->SourceBytes(result.source, exported));
        EXPECT_EQ(exported, c.bytes) << c.what;
    }
}

TEST_F(CollectionIntegrity, OnlyRegularFilesUpToOneMebibyteAreRead)
{
    const Bytes dump = BankDump(MakeBankPrograms("Big", 1));
    Bytes tooBig = dump;
    tooBig.resize(1024 * 1024 + 1, 0);
    const Bytes justFits(dump.begin(), dump.end());
    ASSERT_EQ(mkfifo(PathOf("pipe.syx").c_str(), 0600), 0);
    std::filesystem::create_directories(PathOf("folder.syx"));
    const struct {
        const char* what;
        std::string path;
        std::string error;
    } cases[] = {
        {"over 1 MiB", WriteFile("big.syx", tooBig), "File is too large to be a Korg Syx File (over 1 MiB)"},
        {"a pipe", PathOf("pipe.syx"),
         "It is not a regular file (a folder, a pipe or a device): only files are taken in"},
        {"a folder", PathOf("folder.syx"),
         "It is not a regular file (a folder, a pipe or a device): only files are taken in"},
        {"missing", PathOf("missing.syx"), "Cannot open file"},
        // Not even opened: closing a descriptor of them would end this process's locks on them.
        {"the Collection", DbPath(), "It is the Collection's own file: it is not taken in"},
        {"its log", DbPath() + "-wal", "It is the Collection's own file: it is not taken in"},
        {"its log's index", DbPath() + "-shm", "It is the Collection's own file: it is not taken in"},
    };
    auto collection = OpenCollection();
    for (const auto& c : cases) {
        CImportResult result;
        std::string error;
        EXPECT_FALSE(collection->ImportFile(c.path, result, error)) << c.what;   // and returns: a pipe blocks nothing
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_TRUE(result.fileRefused) << c.what;
    }
    EXPECT_TRUE(IndexLockedByThisProcess(DbPath()));
    CImportResult result;
    std::string error;
    EXPECT_FALSE(collection->ImportFileBytes("/big.syx", tooBig, result, error));
    EXPECT_TRUE(result.fileRefused);
    EXPECT_TRUE(collection->ImportFile(WriteFile("fits.syx", justFits), result, error)) << error;
}

TEST_F(CollectionIntegrity, ProgramsFoldedIntoTheSoundIndexAreFoundThroughItAndAfterAMigration)
{
    OpenCollection();
    auto db = Raw(DbPath());
    // Programs appended by SQL, `count` of them with keys first, first + 1000..., then folded.
    const auto appendAndFold = [&](int count, std::int64_t first) {
        const std::string sql = "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < "
            + std::to_string(count - 1)
            + ") INSERT INTO program(first_name, sound_key, first_source, first_slot, voice_mode, first_seen,"
              " source_count) SELECT 'P', "
            + std::to_string(first) + " + i * 1000, 1, 0, 0, 0, 1 FROM n";
        ASSERT_TRUE(db->Exec(sql.c_str())) << db->ErrorText();
        ASSERT_TRUE(db->Exec("BEGIN IMMEDIATE"));
        CSoundIndex index;
        ASSERT_TRUE(index.CatchUp(*db));
        ASSERT_TRUE(index.FoldIn(*db));
        ASSERT_TRUE(db->Exec("COMMIT"));
    };
    // Keys below zero and above, a second fold between the first's keys, and one key of more
    // programs than a block holds, folded in across two folds.
    appendAndFold(70000, -35000000);   // programs 1-70,000
    ASSERT_TRUE(db->Exec("INSERT INTO program(first_name, sound_key, first_source, first_slot, voice_mode, first_seen,"
                         " source_count) SELECT 'R', 7, 1, 0, 0, 0, 1 FROM program WHERE id <= 150"));
    appendAndFold(70000, -34999500);   // 70,151-140,150, after 150 programs of key 7
    ASSERT_TRUE(db->Exec("INSERT INTO program(first_name, sound_key, first_source, first_slot, voice_mode, first_seen,"
                         " source_count) SELECT 'R', 7, 1, 0, 0, 0, 1 FROM program WHERE id <= 200"));
    appendAndFold(65536, 35000000);    // 140,351-205,886, after 200 more of key 7

    const auto expectEveryProgramFound = [&](const char* when) {
        std::vector<std::int64_t> keys;
        ASSERT_TRUE(ForEachSoundKey(*db, [&](std::int64_t key) { keys.push_back(key); })) << when;
        EXPECT_EQ(keys.size(), 205886u) << when;
        EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << when;
        // A new connection's index holds nothing in memory: what it finds comes from the table,
        // through the Bloom filter once it has looked many keys up, and without it before.
        for (const bool manyBefore : {false, true}) {
            SCOPED_TRACE(manyBefore ? "the filter read" : "the filter not read");
            CSoundIndex fresh;
            ASSERT_TRUE(db->Exec("BEGIN IMMEDIATE"));
            ASSERT_TRUE(fresh.CatchUp(*db));
            if (manyBefore) {
                std::vector<std::uint64_t> others;
                for (std::uint64_t key = 1; key <= 5000; ++key)
                    others.push_back(key * 0x9E3779B97F4A7C15ull);
                ASSERT_TRUE(fresh.Prefetch(*db, others));
            }
            const std::vector<std::uint64_t> wanted = {static_cast<std::uint64_t>(-35000000), 7, 12345,
                                                       static_cast<std::uint64_t>(-34999500), 35000000 + 65535 * 1000};
            ASSERT_TRUE(fresh.Prefetch(*db, wanted));
            EXPECT_EQ(fresh.FilterRead(), manyBefore);
            ASSERT_TRUE(db->Exec("COMMIT"));
            std::vector<std::int64_t> found;
            fresh.Find(static_cast<std::uint64_t>(-35000000), found);
            EXPECT_EQ(found, std::vector<std::int64_t>{1}) << when;
            fresh.Find(static_cast<std::uint64_t>(-34999500), found);
            EXPECT_EQ(found, std::vector<std::int64_t>{70151}) << when;
            fresh.Find(35000000 + 65535 * 1000, found);
            EXPECT_EQ(found, std::vector<std::int64_t>{205886}) << when;
            fresh.Find(12345, found);
            EXPECT_TRUE(found.empty()) << when;
            fresh.Find(7, found);
            std::vector<std::int64_t> sevens;
            for (std::int64_t id = 70001; id <= 70150; ++id)
                sevens.push_back(id);
            for (std::int64_t id = 140151; id <= 140350; ++id)
                sevens.push_back(id);
            EXPECT_EQ(found, sevens) << when;
        }
    };
    expectEveryProgramFound("folded");
    {
        CSqliteQuery upTo(*db, "SELECT value FROM collection_state WHERE key = 'sounds_indexed_upto'");
        ASSERT_TRUE(upTo.Next());
        EXPECT_EQ(upTo.Int(0), 205886);
    }

    // The same file as version 6 left it, a row per program, brought up again.
    db.reset();
    MakeOlderVersionFile(DbPath(), 6);
    OpenCollection();
    db = Raw(DbPath());
    expectEveryProgramFound("migrated");
}
