// veltrix-cli interrupted while it receives: by the terminal closing (SIGHUP), by Ctrl+C
// twice, or by SIGQUIT. Each case runs in a child process of its own, with the real signal
// handlers, and the folder is looked at afterwards.
#include "Cli.h"
#include "CliContext.h"
#include "CliTestSupport.h"
#include "Interruption.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"
#include "TestMidiSynth.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Runs a receive into `file` that the synthesizer never answers, while `signals` come 150 ms
// apart. `listening`: whether the receive looks at the interruption flag (false: a process
// too busy to notice, so that only the handlers can clean up). Returns the child's status.
int ReceiveInterrupted(const std::string& file, const std::vector<int>& signals, bool listening)
{
    const pid_t child = fork();
    if (child != 0) {
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    }
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);   // SIGQUIT would leave a core file
    static std::atomic<bool> interrupted{false};
    InstallInterruptHandlers(interrupted);
    CTestMidiOutService out;
    CTestMidiInService in(out);
    CTestMidiSynth synth(out, in);
    synth.SetMode(CTestMidiSynth::Mode::Silent);
    out.AddDevice("Serial MIDI 1", MidiOutKind::HardwarePort, true);
    std::ostringstream text;
    CCliContext context{out, in, text, text, false, std::string(), listening ? &interrupted : nullptr,
                        CReceiveTimeouts{3000, 3000, 3000}, 0, std::string()};
    std::thread sender([&signals] {
        for (const int signal : signals) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            kill(getpid(), signal);
        }
    });
    sender.detach();
    _exit(RunCli({"receive", "--current", "-o", file}, context));
}

}  // namespace

TEST(Interruption, NoTemporaryFileIsLeftAndAnEarlierFileStays)
{
    struct Case {
        const char* what;
        std::vector<int> signals;
        bool listening;
        int exitCode;       // or -1 when the signal ends it
        int killedBy;
    };
    const Case cases[] = {
        {"the terminal closed", {SIGHUP}, true, 130, 0},
        {"Ctrl+C", {SIGINT}, true, 130, 0},
        {"Ctrl+C twice, quicker than the receive stops", {SIGINT, SIGINT}, false, -1, SIGINT},
        {"SIGTERM, then the terminal closed", {SIGTERM, SIGHUP}, false, -1, SIGHUP},
        {"Ctrl+\\", {SIGQUIT}, true, -1, SIGQUIT},
    };
    for (const Case& c : cases) {
        CTempFolder folder;
        const std::string file = folder.File("backup.syx");
        WriteBytes(file, {1, 2, 3});
        const int status = ReceiveInterrupted(file, c.signals, c.listening);
        if (c.exitCode >= 0) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << c.what << ": " << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.killedBy) << c.what << ": " << status;
        }
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"backup.syx"}) << c.what;
        EXPECT_EQ(ReadBytes(file), (std::vector<unsigned char>{1, 2, 3})) << c.what;
    }
}
