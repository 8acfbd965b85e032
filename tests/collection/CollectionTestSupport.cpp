#include "CollectionTestSupport.h"

#include "DumpWriter.h"
#include "NameIndex.h"
#include "SqliteDb.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

void CCollectionTest::SetUp()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = std::filesystem::temp_directory_path()
        / (std::string("veltrix-collection-") + info->name() + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
}

void CCollectionTest::TearDown()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

std::string CCollectionTest::WriteFile(const std::string& name, const Bytes& bytes) const
{
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << path;
    return path;
}

std::unique_ptr<CCollection> CCollectionTest::OpenCollection() const
{
    std::string error;
    std::string notice;
    std::unique_ptr<CCollection> collection = CCollection::Open(DbPath(), error, notice);
    EXPECT_TRUE(collection) << error;
    EXPECT_EQ(notice, "");
    return collection;
}

Bytes MakeProgram(const std::string& name, unsigned int seed, int voiceMode)
{
    Bytes data(PROGRAM_DATA_SIZE);
    unsigned int state = seed * 2654435761u + 12345u;
    for (unsigned char& byte : data) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(state >> 16);
    }
    for (std::size_t i = 0; i < 12; ++i)
        data[i] = static_cast<unsigned char>(i < name.size() ? name[i] : ' ');
    data[16] = static_cast<unsigned char>((data[16] & 0xCF) | (voiceMode << 4));
    return data;
}

Bytes OneProgramDump(const Bytes& program)
{
    return BuildDumpMessage(FUNC_CURRENT_PROGRAM, {program});
}

Bytes BankDump(const std::vector<Bytes>& programs)
{
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, programs);
}

std::vector<Bytes> MakeBankPrograms(const std::string& prefix, unsigned int firstSeed)
{
    std::vector<Bytes> programs;
    for (unsigned int i = 0; i < 128; ++i)
        programs.push_back(MakeProgram(prefix + " " + std::to_string(i), firstSeed + i, static_cast<int>(i % 4)));
    return programs;
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void MakeThirdVersionFile(const std::string& path)
{
    int code = 0;
    std::string error;
    auto db = CSqliteDb::Open(path, code, error);
    ASSERT_TRUE(db) << error;
    ASSERT_TRUE(db->Exec("DROP TABLE name_end; DROP TABLE name_end_bound;"
                         "DROP TRIGGER change_log_trim; DROP TRIGGER program_changed; DROP TRIGGER program_name_added;"
                         "DROP TRIGGER tag_added; DROP TRIGGER tag_removed; DROP TRIGGER source_added;"
                         "DROP TRIGGER list_removed; DROP TABLE change_log; DROP TABLE sound_block;"
                         "DROP TABLE collection_state; DROP TABLE source_name_search; DROP TABLE given_name_search;"
                         "DROP INDEX program_favourites; DROP INDEX program_hidden; DROP INDEX source_listed;"
                         "ALTER TABLE program DROP COLUMN renamed_at;"
                         "PRAGMA application_id = 0; PRAGMA user_version = 3"))
        << db->ErrorText();
}

void MakeOlderVersionFile(const std::string& path, int version)
{
    ASSERT_TRUE(version >= 2 && version <= 8 && version != 5) << version;
    if (version <= 3)
        MakeThirdVersionFile(path);
    int code = 0;
    std::string error;
    auto db = CSqliteDb::Open(path, code, error);
    ASSERT_TRUE(db) << error;
    // Until version 8 the slot names were indexed by FTS5's own trigram tokenizer, and the
    // sources were listed from their table.
    const std::string nameIndex =
        "DROP INDEX source_listed; DROP TABLE source_name_search;"
        "CREATE VIRTUAL TABLE source_name_search USING fts5(names, tokenize = 'trigram case_sensitive 1',"
        " content = '', detail = 'none', columnsize = 0);"
        "DELETE FROM collection_state WHERE key = 'names_indexed_upto';";
    // Until version 7 the sounds' index was a row per program.
    const std::string soundRows =
        "CREATE TABLE sound(key INTEGER NOT NULL, program INTEGER NOT NULL, PRIMARY KEY(key, program)) WITHOUT ROWID;"
        "INSERT INTO sound SELECT sound_key, id FROM program WHERE id <= coalesce((SELECT value FROM collection_state"
        " WHERE key = 'sounds_indexed_upto'), 0);"
        "DROP TABLE sound_block;";
    // Until version 9 there were no name ends.
    const std::string nameEnds = "DROP TABLE name_end; DROP TABLE name_end_bound;";
    const std::string sql = version == 8   ? nameEnds + "PRAGMA user_version = 8"
                            : version == 7 ? nameEnds + nameIndex + "PRAGMA user_version = 7"
                            : version == 6 ? nameEnds + nameIndex + soundRows + "PRAGMA user_version = 6"
                            : version == 4 ? nameEnds + nameIndex + soundRows
                                    + "ALTER TABLE program DROP COLUMN renamed_at; PRAGMA user_version = 4"
                            : version == 2 ? "DROP TABLE synth_write; PRAGMA user_version = 2"
                                           : "";
    ASSERT_TRUE(db->Exec(sql.c_str())) << db->ErrorText();
    if (version >= 4 && version <= 7) {
        ASSERT_TRUE(IndexNewSourceNames(*db, true)) << db->ErrorText();
    }
}

bool IndexLockedByThisProcess(const std::string& path)
{
    const pid_t self = getpid();
    const pid_t child = fork();
    if (child == 0) {
        const int index = open((path + "-shm").c_str(), O_RDONLY);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 120;
        lock.l_len = 9;
        _exit(index >= 0 && fcntl(index, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK && lock.l_pid == self ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
