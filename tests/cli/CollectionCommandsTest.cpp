// import, search, sources, export, diff and mark, run whole (RunCli) on a real database in a
// temporary folder.
#include "Cli.h"
#include "CliContext.h"
#include "CliTestSupport.h"
#include "Collection.h"
#include "SqliteDb.h"
#include "SyxFormat.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace {

const std::string REALDATA = VELTRIX_REALDATA_DIR;
const std::string EXAMPLES = VELTRIX_EXAMPLES_DIR;

// A program dump of 128 made-up programs; `names` replaces the first names, `soundOf`
// changes the sound of the programs at those slots.
std::vector<unsigned char> Bank(const std::vector<std::string>& names = {}, const std::vector<int>& soundOf = {})
{
    std::vector<unsigned char> data = MadeUpPrograms(128);
    for (size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty()) {
            std::string name = names[i];
            name.resize(12, ' ');
            std::copy(name.begin(), name.end(), data.begin() + static_cast<long>(i * 254));
        }
    for (int slot : soundOf)
        data[static_cast<size_t>(slot) * 254 + 100] ^= 0x01;
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, data.data(), static_cast<unsigned int>(data.size()));
}

// Runs SQL on the database as another program would.
bool ExecOn(const std::string& path, const char* sql)
{
    int code = 0;
    std::string error;
    auto db = CSqliteDb::Open(path, code, error);
    return db && db->Exec(sql);
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    if (!line.empty() && line.back() == '\t')
        fields.push_back("");
    return fields;
}

class CollectionCommandsTest : public ::testing::Test
{
protected:
    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin() + 1, {"--collection", data.File("c.sqlite")});
        outText.str("");
        errText.str("");
        return RunCli(args, context);
    }
    std::vector<std::string> OutLines() const { return Lines(outText.str()); }

    // The lines of a search, and the id of the program shown as `name`.
    std::string IdOf(const std::string& name)
    {
        EXPECT_EQ(Run({"search", name}), 0);
        for (const std::string& line : OutLines())
            if (Fields(line)[1] == name)
                return Fields(line)[0];
        ADD_FAILURE() << "no program " << name;
        return "0";
    }

    CTempFolder files, data;
    CTestMidiOutService out;
    CTestMidiInService in{out};
    std::ostringstream outText, errText;
    CCliContext context{out, in, outText, errText, false, std::string(), nullptr, CReceiveTimeouts(), 0,
                        "/nonexistent/never-the-default.sqlite"};
};

}  // namespace

TEST_F(CollectionCommandsTest, ImportTakesInFilesAndFoldersAndNamesTheBadOnes)
{
    mkdir(files.File("deep").c_str(), 0755);
    WriteBytes(files.File("bank.syx"), Bank());
    WriteBytes(files.File("deep/SHOUT.SYX"), Bank({"Loud"}, {0}));
    WriteBytes(files.File("deep/broken.2.syx"), {0xF0, 0x42, 0x30, 0x58, 0x40, 0x00, 0xF7});
    WriteBytes(files.File("deep/notes.txt"), {'h', 'i'});

    EXPECT_EQ(Run({"import", files.Path(), files.File("missing.syx")}), 1);
    EXPECT_EQ(outText.str(),
              files.File("bank.syx") + "\t128\t128\t1\n" + files.File("deep/SHOUT.SYX") + "\t128\t1\t1\n");
    // Each file that cannot be taken in is named whole, as it was found.
    EXPECT_EQ(errText.str(), "Failed to parse Syx file " + files.File("deep/broken.2.syx")
                                 + ". Failed to read file, patch data appears to be corrupted\n"
                                   "Failed to parse Syx file " + files.File("missing.syx") + ". Cannot open file\n");

    // Again: everything is known, nothing is new, and the bad file still is bad.
    EXPECT_EQ(Run({"import", files.File("deep/SHOUT.SYX"), files.File("bank.syx")}), 0) << errText.str();
    EXPECT_EQ(outText.str(),
              files.File("deep/SHOUT.SYX") + "\t128\t0\t1\n" + files.File("bank.syx") + "\t128\t0\t1\n");
    EXPECT_EQ(Run({"sources"}), 0);
    EXPECT_EQ(OutLines().size(), 2u);

    // Ctrl+C before a file: it is not taken in.
    WriteBytes(files.File("late.syx"), Bank({}, {5}));
    std::atomic<bool> cancel{true};
    context.cancel = &cancel;
    EXPECT_EQ(Run({"import", files.File("late.syx")}), 130);
    EXPECT_EQ(errText.str(), "Stopped: 0 of 1 files taken in\n");
    context.cancel = nullptr;
    EXPECT_EQ(Run({"sources"}), 0);
    EXPECT_EQ(OutLines().size(), 2u);
}

TEST_F(CollectionCommandsTest, EveryRealDumpComesBackByteForByte)
{
    if (!Exists(REALDATA + "/ms2000-bank-0x4C.syx"))
        GTEST_SKIP() << "the real dumps are not beside the checkout: " << REALDATA;
    Run({"import", REALDATA, EXAMPLES});
    EXPECT_EQ(Run({"sources"}), 0);
    const std::vector<std::string> sources = OutLines();
    ASSERT_GE(sources.size(), 6u);
    for (const std::string& line : sources) {
        const std::vector<std::string> f = Fields(line);
        ASSERT_EQ(f.size(), 4u) << line;
        EXPECT_EQ(f[1], "file");
        EXPECT_EQ(f[3].size(), 19u) << "yyyy-MM-ddThh:mm:ss: " << f[3];
        EXPECT_EQ(Run({"export", "--source", f[0], "-o", files.File("back.syx")}), 0) << errText.str();
        EXPECT_EQ(ReadBytes(files.File("back.syx")), ReadBytes(f[0])) << f[0];
    }
}

TEST_F(CollectionCommandsTest, ASourceIsFoundByItsNameOrItsFileNameAloneWhenThatIsUnique)
{
    mkdir(files.File("one").c_str(), 0755);
    mkdir(files.File("two").c_str(), 0755);
    WriteBytes(files.File("one/bank.syx"), Bank());
    WriteBytes(files.File("two/bank.syx"), Bank({}, {1}));
    WriteBytes(files.File("solo.syx"), Bank({}, {2}));
    ASSERT_EQ(Run({"import", files.Path()}), 0) << errText.str();

    struct Case {
        std::string source;
        int exitCode;
        std::string said;  // on stderr
    };
    const Case cases[] = {
        {files.File("two/bank.syx"), 0, ""},
        {"solo.syx", 0, ""},
        {"bank.syx", 2, "\"bank.syx\" names more than one source: \"" + files.File("one/bank.syx")},
        {"gone.syx", 2, "There is no source \"gone.syx\" in the Collection"},
        {"solo", 2, "did you mean \"" + files.File("solo.syx") + "\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(Run({"export", "--source", c.source, "-o", files.File("out.syx")}), c.exitCode);
        EXPECT_NE(errText.str().find(c.said), std::string::npos) << errText.str();
        EXPECT_EQ(Lines(errText.str()).size(), c.exitCode == 0 ? 0u : 1u);
        EXPECT_EQ(Run({"diff", c.source, "solo.syx"}), c.exitCode);
    }
    EXPECT_EQ(ReadBytes(files.File("out.syx")), ReadBytes(files.File("solo.syx")));
}

TEST_F(CollectionCommandsTest, SearchFindsByNameModeTagMarksAndSource)
{
    WriteBytes(files.File("a.syx"), Bank({"Warm Pad", "", "Bass/Lead:1"}));
    WriteBytes(files.File("b.syx"), Bank({"WARM pad 2"}, {0}));
    ASSERT_EQ(Run({"import", files.File("a.syx"), files.File("b.syx")}), 0) << errText.str();
    const std::string pad = IdOf("Warm Pad"), pad2 = IdOf("WARM pad 2"), prog2 = IdOf("Prog 002");

    EXPECT_EQ(Run({"mark", pad, pad2, "--tag", "pads"}), 0) << errText.str();
    EXPECT_EQ(Run({"mark", pad2, "--favourite"}), 0);
    EXPECT_EQ(Run({"mark", prog2, "--hide"}), 0);

    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{"search", "warm"}, {"Warm Pad", "WARM pad 2"}},
        {{"search", "--tag", "pads"}, {"Warm Pad", "WARM pad 2"}},
        {{"search", "--favourite"}, {"WARM pad 2"}},
        {{"search", "--hidden"}, {"Prog 002"}},
        {{"search", "--mode", "split", "Prog 00"}, {"Prog 006"}},  // Prog 002 is hidden
        {{"search", "--source", "b.syx", "pad"}, {"WARM pad 2"}},
        {{"search", "nothing like it"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(Run(c.args), 0) << errText.str();
        std::vector<std::string> names;
        for (const std::string& line : OutLines())
            names.push_back(Fields(line).at(1));
        EXPECT_EQ(names, c.names);
    }
    EXPECT_EQ(Run({"search", "WARM pad 2"}), 0);
    EXPECT_EQ(outText.str(), pad2 + "\tWARM pad 2\tSingle\tpads\t1\n");
    EXPECT_EQ(Run({"search", "--source", "nope.syx"}), 2);
}

TEST_F(CollectionCommandsTest, ExportWritesOneProgramOrAFolderOfThem)
{
    WriteBytes(files.File("a.syx"), Bank({"Bass/Lead:1", "Keys"}));
    ASSERT_EQ(Run({"import", files.File("a.syx")}), 0);
    const std::string bass = IdOf("Bass/Lead:1"), keys = IdOf("Keys");
    EXPECT_EQ(Run({"mark", keys, "--rename", "Keys *Bright"}), 0) << errText.str();

    EXPECT_EQ(Run({"export", keys, "-o", files.File("keys.syx")}), 0) << errText.str();
    const std::vector<unsigned char> one = ReadBytes(files.File("keys.syx"));
    ASSERT_EQ(one.size(), 297u);
    EXPECT_EQ(std::vector<unsigned char>(one.begin(), one.begin() + 5),
              (std::vector<unsigned char>{0xF0, 0x42, 0x30, 0x58, 0x40}));
    EXPECT_EQ(Run({"list", files.File("keys.syx")}), 0);
    EXPECT_EQ(Fields(OutLines().at(0))[3], "Keys *Bright") << "the shown name travels with it";

    EXPECT_EQ(Run({"export", bass, keys, "-o", files.File("new/folder")}), 0) << errText.str();
    EXPECT_TRUE(Exists(files.File("new/folder/" + bass + " Bass_Lead_1.syx")));
    EXPECT_EQ(ReadBytes(files.File("new/folder/" + keys + " Keys _Bright.syx")), one);

    // An unknown id writes nothing at all.
    EXPECT_EQ(Run({"export", keys, "999999", "-o", files.File("other")}), 2);
    EXPECT_NE(errText.str().find("no program 999999"), std::string::npos) << errText.str();
    EXPECT_FALSE(Exists(files.File("other")));
    EXPECT_EQ(Run({"export", "--list", "Nope", "-o", files.File("l.syx")}), 2);

    // A list saved in the window, in the bank's order: the bank's own bytes come back.
    {
        std::string error, notice;
        std::unique_ptr<CCollection> collection = CCollection::Open(data.File("c.sqlite"), error, notice);
        ASSERT_TRUE(collection) << error;
        const std::vector<CollectionId> bank = collection->SourcePrograms(collection->Sources().at(0).id);
        ASSERT_TRUE(collection->SaveList("My Bank", bank, error)) << error;
        ASSERT_TRUE(collection->Rename(std::stoll(keys), "Keys", error)) << error;
    }
    EXPECT_EQ(Run({"export", "--list", "My Bank", "-o", files.File("l.syx")}), 0) << errText.str();
    EXPECT_EQ(ReadBytes(files.File("l.syx")), ReadBytes(files.File("a.syx")));
}

TEST_F(CollectionCommandsTest, MarkRefusesNamesTheSynthCannotShowAndUnknownIds)
{
    WriteBytes(files.File("a.syx"), Bank());
    ASSERT_EQ(Run({"import", files.File("a.syx")}), 0);
    const std::string id = IdOf("Prog 001");
    for (const std::string bad : {"Thirteen char", "", "Caf\xC3\xA9", "Tab\there"}) {
        EXPECT_EQ(Run({"mark", id, "--rename", bad}), 2) << bad;
        EXPECT_NE(errText.str().find("1 to 12 characters"), std::string::npos) << errText.str();
    }
    EXPECT_EQ(Run({"mark", id, "999999", "--favourite"}), 2);
    EXPECT_EQ(Run({"search", "--favourite"}), 0);
    EXPECT_EQ(outText.str(), "") << "nothing was marked";
    EXPECT_EQ(Run({"mark", id, "--rename", "Twelve chars"}), 0);
    EXPECT_EQ(IdOf("Twelve chars"), id);
}

TEST_F(CollectionCommandsTest, DiffNamesEverySlotThatDiffers)
{
    WriteBytes(files.File("before.syx"), Bank());
    std::vector<std::string> names(128);
    names[0] = "Renamed";
    names[127] = "Both";
    WriteBytes(files.File("after.syx"), Bank(names, {17, 127}));
    ASSERT_EQ(Run({"import", files.File("before.syx"), files.File("after.syx")}), 0);
    EXPECT_EQ(Run({"diff", "before.syx", "after.syx"}), 0) << errText.str();
    EXPECT_EQ(outText.str(),
              "A\t001\trenamed\tProg 001\tRenamed\n"
              "B\t002\tchanged\tProg 018\tProg 018\n"
              "H\t016\trenamed+changed\tProg 128\tBoth\n");
    EXPECT_EQ(Run({"diff", "before.syx", "before.syx"}), 0);
    EXPECT_EQ(outText.str(), "");
}

TEST_F(CollectionCommandsTest, CheckFindsDamagedSourcesThatExportAndDiffThenRefuse)
{
    WriteBytes(files.File("a.syx"), Bank());
    WriteBytes(files.File("b.syx"), Bank({"Other"}, {1}));
    ASSERT_EQ(Run({"import", files.File("a.syx"), files.File("b.syx")}), 0) << errText.str();
    EXPECT_EQ(Run({"check"}), 0) << errText.str();
    EXPECT_EQ(outText.str(), "");
    EXPECT_NE(errText.str().find("all 2 sources match"), std::string::npos) << errText.str();

    // A byte of b.syx's stored dump changed, as a failing disk would.
    ASSERT_TRUE(ExecOn(data.File("c.sqlite"), "UPDATE source SET bytes = substr(bytes, 1, 200) || x'01' ||"
                                              " substr(bytes, 202) WHERE name LIKE '%b.syx'"));
    EXPECT_EQ(Run({"check"}), 7);
    const std::vector<std::string> lines = OutLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Fields(lines[0])[0], "damaged source");
    EXPECT_EQ(Fields(lines[0])[2], files.File("b.syx"));

    EXPECT_EQ(Run({"export", "--source", "b.syx", "-o", files.File("out.syx")}), 7);
    EXPECT_NE(errText.str().find("The stored bytes of " + files.File("b.syx") + " are damaged"), std::string::npos)
        << errText.str();
    EXPECT_FALSE(Exists(files.File("out.syx")));
    EXPECT_EQ(Run({"diff", "a.syx", "b.syx"}), 7);
    EXPECT_EQ(Run({"export", "--source", "a.syx", "-o", files.File("out.syx")}), 0) << errText.str();
}

TEST_F(CollectionCommandsTest, ExitCodesSayWhoseFaultItIs)
{
    WriteBytes(files.File("bank.syx"), Bank());
    ASSERT_EQ(Run({"import", files.File("bank.syx")}), 0);
    const std::string id = IdOf("Prog 001");
    std::vector<unsigned char> big = Bank();
    big.resize(1024 * 1024 + 1, 0);
    WriteBytes(files.File("big.syx"), big);
    ASSERT_EQ(mkfifo(files.File("pipe.syx").c_str(), 0600), 0);
    const struct {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {{"mark", id, "--tag", "   "}, 2},               // a blank tag
        {{"mark", id, "--tag", std::string(41, 't')}, 2},
        {{"mark", id, "--rename", "   "}, 2},            // a blank name
        {{"import", files.File("big.syx")}, 1},         // over 1 MiB
        {{"import", files.File("pipe.syx")}, 1},        // a pipe: refused at once
        {{"check", "extra"}, 2},
        {{"mark", id, "--tag", "fine"}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Run(c.args), c.code) << c.args[0] << " " << c.args.back() << ": " << errText.str();

    // The database failing under a read: exit 7, not an empty answer.
    ASSERT_TRUE(ExecOn(data.File("c.sqlite"), "ALTER TABLE program RENAME TO gone"));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"search"}, {"search", "prog"}, {"mark", id, "--favourite"}, {"export", id, "-o", files.File("x.syx")}})
        EXPECT_EQ(Run(args), 7) << args[0] << ": " << errText.str();
}
