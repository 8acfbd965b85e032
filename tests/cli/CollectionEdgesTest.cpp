// The commands on the Collection at their edges: sources of one name, outputs that would land
// on the database itself, paths that cannot be written, files that are not files, a wait
// for a lock cut short by a signal, and names and arguments that would upset a terminal.
#include "CollectionCommandsFixture.h"

#include "Interruption.h"
#include "SqliteDb.h"

#include <chrono>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

bool HasRawControlByte(const std::string& text)
{
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\n') || byte == 0x7F)
            return true;
    }
    return false;
}

// The source ids `sources` printed, in its order (the last field of each line).
std::vector<std::string> SourceIds(const std::vector<std::string>& lines)
{
    std::vector<std::string> ids;
    for (const std::string& line : lines)
        ids.push_back(Fields(line).back());
    return ids;
}

// What a command run in a child process did: its exit code (-1 when it had to be killed
// because it did not end in time) and its stderr.
struct CChildRun {
    int exitCode = -1;
    std::string errors;
    double seconds = 0;
};

// Runs veltrix-cli `args` in a child with the real interruption handlers, sending it
// `signal` (0: none) after `signalAfterMs`, and kills it if it has not ended after
// `limitMs`.
CChildRun RunInChild(const std::vector<std::string>& args, int signal, int signalAfterMs, int limitMs,
                     const std::string& errorsFile)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        static std::atomic<bool> interrupted{false};
        InstallInterruptHandlers(interrupted);
        CTestMidiOutService out;
        CTestMidiInService in(out);
        std::ostringstream outText, errText;
        CCliContext context{out, in, outText, errText, false, std::string(), &interrupted, CReceiveTimeouts(), 0,
                            "/nonexistent/never-the-default.sqlite"};
        int code = 99;
        try {
            code = RunCli(args, context);
            const std::string errors = errText.str();
            WriteBytes(errorsFile, std::vector<unsigned char>(errors.begin(), errors.end()));
        } catch (...) {
        }
        _exit(code);   // never back into the test runner
    }
    CChildRun run;
    int status = 0;
    bool signalled = signal == 0;
    for (int waited = 0;; waited += 10) {
        if (waitpid(child, &status, WNOHANG) == child) {
            run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (!signalled && waited >= signalAfterMs) {
            kill(child, signal);
            signalled = true;
        }
        if (waited >= limitMs) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (Exists(errorsFile)) {
        const std::vector<unsigned char> bytes = ReadBytes(errorsFile);
        run.errors.assign(bytes.begin(), bytes.end());
    }
    return run;
}

}  // namespace

TEST_F(CollectionCommandsTest, ASourceIsAlwaysNamedByItsId)
{
    // A file edited and taken in again: two sources of one name, in the same second.
    const std::string path = files.File("bank.syx");
    WriteBytes(path, Bank());
    ASSERT_EQ(Run({"import", path}), 0) << errText.str();
    WriteBytes(path, Bank({"Edited"}, {0}));
    ASSERT_EQ(Run({"import", path}), 0) << errText.str();
    const std::vector<unsigned char> edited = ReadBytes(path);
    WriteBytes(files.File("other.syx"), Bank({}, {3}));
    ASSERT_EQ(Run({"import", files.File("other.syx")}), 0) << errText.str();

    ASSERT_EQ(Run({"sources"}), 0);
    const std::vector<std::string> ids = SourceIds(OutLines());
    ASSERT_EQ(ids, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Fields(OutLines()[0]).size(), 5u);
    EXPECT_EQ(Fields(OutLines()[0])[0], path);

    struct Case {
        std::string source;
        int exitCode;
        std::string said;   // on stderr
    };
    const Case cases[] = {
        {"1", 0, ""},
        {"2", 0, ""},
        {"bank.syx", 2, "names more than one source; name one by its id: 1 \"" + path},
        {path, 2, ", 2 \"" + path + "\" (taken in "},
        {"99", 2, "There is no source \"99\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(Run({"export", "--source", c.source, "-o", files.File("out.syx")}), c.exitCode);
        EXPECT_NE(errText.str().find(c.said), std::string::npos) << errText.str();
        EXPECT_EQ(Run({"diff", c.source, "3"}), c.exitCode) << errText.str();
        EXPECT_EQ(Run({"search", "--source", c.source, "Edited"}), c.exitCode) << errText.str();
        EXPECT_EQ(OutLines().size(), c.source == "2" ? 1u : 0u);
    }
    EXPECT_EQ(Run({"export", "--source", "2", "-o", files.File("out.syx")}), 0);
    EXPECT_EQ(ReadBytes(files.File("out.syx")), edited);
    EXPECT_EQ(Run({"diff", "1", "2"}), 0);
    EXPECT_EQ(OutLines().size(), 1u) << outText.str();
}

TEST_F(CollectionCommandsTest, NothingIsEverWrittenOverTheCollection)
{
    WriteBytes(files.File("a.syx"), Bank({"Keep Me"}));
    ASSERT_EQ(Run({"import", files.File("a.syx")}), 0) << errText.str();
    const std::string id = IdOf("Keep Me");
    const std::string database = data.File("c.sqlite");
    ASSERT_EQ(symlink(database.c_str(), files.File("link.sqlite").c_str()), 0);
    ASSERT_EQ(symlink(data.Path().c_str(), files.File("folder").c_str()), 0);
    ASSERT_EQ(link(database.c_str(), files.File("hard.sqlite").c_str()), 0);
    ASSERT_EQ(symlink((database + "-journal").c_str(), files.File("dangling").c_str()), 0);
    const std::string relative = std::filesystem::relative(database).string();

    const std::string spellings[] = {
        database,
        data.Path() + "/./c.sqlite",
        data.Path() + "//c.sqlite",
        files.Path() + "/../" + data.Path().substr(data.Path().rfind('/') + 1) + "/c.sqlite",
        relative,
        files.File("link.sqlite"),
        files.File("folder") + "/c.sqlite",
        files.File("hard.sqlite"),
        database + "-wal",
        database + "-shm",
        files.File("folder") + "/c.sqlite-wal",
        files.File("dangling"),
    };
    for (const std::string& output : spellings) {
        SCOPED_TRACE(output);
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"export", "--source", "a.syx", "-o", output},
                 {"export", id, "-o", output},
                 {"export", id, "1", "-o", output},
                 {"receive", "--current", "-o", output},
             }) {
            EXPECT_EQ(Run(args), 2) << args[1];
            EXPECT_NE(errText.str().find("Will not write"), std::string::npos) << errText.str();
        }
    }
    // The Collection is whole and as it was, and nothing was left beside it.
    EXPECT_EQ(Run({"search", "Keep Me"}), 0) << errText.str();
    EXPECT_EQ(OutLines().size(), 1u);
    const std::vector<unsigned char> header = ReadBytes(database);
    EXPECT_EQ(std::string(header.begin(), header.begin() + 15), "SQLite format 3");
    for (const std::string& name : data.Names())
        EXPECT_EQ(name.rfind("c.sqlite", 0), 0u) << name;
    EXPECT_FALSE(Exists(database + "-journal"));
}

TEST_F(CollectionCommandsTest, AnOutputThatCannotBeWrittenIsAClearError)
{
    WriteBytes(files.File("a.syx"), Bank({"One", "Two"}));
    ASSERT_EQ(Run({"import", files.File("a.syx")}), 0) << errText.str();
    const std::string one = IdOf("One"), two = IdOf("Two");
    ASSERT_EQ(symlink(files.File("loop-b").c_str(), files.File("loop-a").c_str()), 0);
    ASSERT_EQ(symlink(files.File("loop-a").c_str(), files.File("loop-b").c_str()), 0);
    std::string deep = files.Path();
    while (deep.size() < PATH_MAX + 100)
        deep += "/" + std::string(200, 'd');
    mkdir(files.File("locked").c_str(), 0500);

    struct Case {
        const char* what;
        std::string output;
    };
    const Case cases[] = {
        {"a name too long", files.File(std::string(300, 'n'))},
        {"a path too long", deep},
        {"a loop of links", files.File("loop-a")},
        {"inside a loop of links", files.File("loop-a") + "/x"},
        {"inside a file", files.File("a.syx") + "/x"},
        // root may write in any folder, but not in sysfs
        {"a folder that may not be written", geteuid() == 0 ? "/sys/veltrix-test" : files.File("locked") + "/x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"export", one, two, "-o", c.output},
                 {"export", one, "-o", c.output},
                 {"export", "--source", "a.syx", "-o", c.output},
             }) {
            EXPECT_EQ(Run(args), 1) << errText.str();
            EXPECT_EQ(Lines(errText.str()).size(), 1u) << errText.str();
            EXPECT_EQ(errText.str().rfind("Cannot ", 0), 0u) << errText.str();
            EXPECT_LT(errText.str().size(), 400u) << errText.str();
        }
    }
    chmod(files.File("locked").c_str(), 0700);
}

TEST_F(CollectionCommandsTest, ImportReadsOnlyRegularFilesAndNeverWaitsForOne)
{
    WriteBytes(files.File("good.syx"), Bank());
    ASSERT_EQ(mkfifo(files.File("pipe.syx").c_str(), 0600), 0);
    ASSERT_EQ(symlink(files.File("pipe.syx").c_str(), files.File("to-pipe.syx").c_str()), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = files.File("socket.syx");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    for (const std::string& odd : {files.File("pipe.syx"), files.File("to-pipe.syx"), socketPath,
                                   std::string("/dev/null")}) {
        SCOPED_TRACE(odd);
        const CChildRun run = RunInChild({"import", "--collection", data.File("c.sqlite"), odd, files.File("good.syx")},
                                         0, 0, 5000, files.File("errors.txt"));
        EXPECT_EQ(run.exitCode, 1) << "a pipe with no writer must not hold the import";
        EXPECT_NE(run.errors.find("It is not a regular file"), std::string::npos) << run.errors;
    }
    close(sock);
    EXPECT_EQ(Run({"sources"}), 0);
    EXPECT_EQ(OutLines().size(), 1u) << "the good file was still taken in";
}

TEST_F(CollectionCommandsTest, ASignalEndsAnImportWaitingForTheCollection)
{
    WriteBytes(files.File("first.syx"), Bank());
    ASSERT_EQ(Run({"import", files.File("first.syx")}), 0) << errText.str();
    WriteBytes(files.File("second.syx"), Bank({}, {1}));

    // Another program holds the write lock, longer than an import waits for it.
    int code = 0;
    std::string error;
    std::unique_ptr<CSqliteDb> holder = CSqliteDb::Open(data.File("c.sqlite"), code, error);
    ASSERT_TRUE(holder) << error;
    ASSERT_TRUE(holder->Exec("BEGIN IMMEDIATE"));
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        const CChildRun run = RunInChild({"import", "--collection", data.File("c.sqlite"), files.File("second.syx")},
                                         signal, 300, 8000, files.File("errors.txt"));
        EXPECT_EQ(run.exitCode, 130) << run.errors;
        EXPECT_LT(run.seconds, 3.0) << "the first signal ends the wait";
        EXPECT_EQ(run.errors, "Stopped: 0 of 1 files taken in\n");
    }
    holder->Exec("ROLLBACK");
    holder.reset();
    EXPECT_EQ(Run({"sources"}), 0);
    EXPECT_EQ(OutLines().size(), 1u);
}

TEST_F(CollectionCommandsTest, PrintedPathsAreEscapedAndNameTheirSourceAsPrinted)
{
    const std::string path = files.File("tab\there\x1b[2J.syx");
    WriteBytes(path, Bank());
    ASSERT_EQ(Run({"import", path}), 0) << errText.str();
    const std::string printed = files.File("tab\\there\\x1b[2J.syx");
    EXPECT_EQ(outText.str(), printed + "\t128\t128\t1\n");
    ASSERT_EQ(Run({"sources"}), 0);
    EXPECT_EQ(Fields(OutLines().at(0))[0], printed);
    for (const std::string& source : {printed, std::string("tab\\there\\x1b[2J.syx"), path}) {
        EXPECT_EQ(Run({"export", "--source", source, "-o", files.File("back.syx")}), 0) << errText.str();
        EXPECT_EQ(ReadBytes(files.File("back.syx")), ReadBytes(path));
    }
}

TEST_F(CollectionCommandsTest, ErrorsEchoArgumentsCutAndEscaped)
{
    WriteBytes(files.File("a.syx"), Bank());
    ASSERT_EQ(Run({"import", files.File("a.syx")}), 0) << errText.str();
    const std::string hostile = "\x1b]0;owned\x07\x1b[2J" + std::string(10000, 'x') + "\x9b" + "1m";
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    };
    const Case cases[] = {
        {{hostile}, 2},
        {{"sources", hostile}, 2},
        {{"list", "--" + hostile}, 2},
        {{"search", "--mode", hostile}, 2},
        {{"search", "--source", hostile}, 2},
        {{"export", hostile, "-o", files.File("x")}, 2},
        {{"export", "--source", hostile, "-o", files.File("x")}, 2},
        {{"export", "--list", hostile, "-o", files.File("x")}, 2},
        {{"export", "--source", "a.syx", "-o", files.File(hostile) + "/x"}, 1},
        {{"diff", hostile, "a.syx"}, 2},
        {{"mark", "1", "--rename", hostile}, 2},
        {{"receive", "--channel", hostile, "--current", "-o", files.File("x")}, 2},
        {{"receive", "--port", hostile, "--current", "-o", files.File("x")}, 2},
        {{"import", files.File(hostile)}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + (c.args.size() > 1 ? c.args[1] : ""));
        std::vector<std::string> args = c.args;
        outText.str("");
        errText.str("");
        args.insert(args.begin(), {"--collection", data.File("c.sqlite")});
        EXPECT_EQ(RunCli(args, context), c.exitCode) << errText.str().substr(0, 300);
        const std::string said = errText.str();
        EXPECT_FALSE(HasRawControlByte(said)) << said.substr(0, 300);
        EXPECT_EQ(said.find("\x9b"), std::string::npos);
        EXPECT_EQ(Lines(said).size(), 1u) << said.substr(0, 300);
        EXPECT_LT(said.size(), 600u) << said.substr(0, 300);
        EXPECT_NE(said.find("\\x1b]0;owned\\x07"), std::string::npos) << said.substr(0, 300);
    }
    // A Collection that cannot be made, named in the database's own message.
    EXPECT_EQ(RunCli({"--collection", "/proc/" + hostile + "/c.sqlite", "sources"}, context), 7);
    EXPECT_FALSE(HasRawControlByte(errText.str())) << errText.str().substr(0, 300);
    EXPECT_LT(errText.str().size(), 800u);
}

TEST_F(CollectionCommandsTest, TheCollectionOptionMayComeBeforeTheCommand)
{
    WriteBytes(files.File("a.syx"), Bank());
    outText.str("");
    EXPECT_EQ(RunCli({"--collection", data.File("c.sqlite"), "import", files.File("a.syx")}, context), 0);
    EXPECT_EQ(RunCli({"--collection=" + data.File("c.sqlite"), "sources"}, context), 0);
    EXPECT_NE(outText.str().find(files.File("a.syx") + "\tfile\t128\t"), std::string::npos) << outText.str();
}
