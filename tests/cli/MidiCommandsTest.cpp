// receive, send and ports, run whole (RunCli) against the test MIDI services and a
// simulated MS2000 at the far end of the cable.
#include "Cli.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "VeltrixVersion.h"
#include "CliTestSupport.h"
#include "DumpRequest.h"
#include "SyxFormat.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"
#include "TestMidiSynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

namespace {

const std::string REALDATA = VELTRIX_REALDATA_DIR;
const std::string EXAMPLES = VELTRIX_EXAMPLES_DIR;

// The test output service reports no port as readable; here a port can be read unless the
// test makes it write-only, on both services, as an ALSA port that lacks READ.
class CReadableTestMidiOut : public CTestMidiOutService
{
public:
    bool GetDevCaps(unsigned int deviceId, CMidiOutCaps& caps) override
    {
        if (!CTestMidiOutService::GetDevCaps(deviceId, caps))
            return false;
        caps.canRead = m_writeOnly.count(static_cast<int>(deviceId)) == 0;
        return true;
    }
    std::set<int> m_writeOnly;
};

class CliMidiTest : public ::testing::Test
{
protected:
    CliMidiTest() : in(out), synth(out, in)
    {
        out.AddDevice("Midi Through Port-0", MidiOutKind::Other);
        out.AddDevice("Serial MIDI 1");
        out.AddDevice("UM-ONE");
        context.settingsPath = folder.File("Veltrix.conf");
        context.collectionPath = dataFolder.File("collection.sqlite");
        // Short waits and no wire pacing, so that failures are found in a fraction of a second.
        context.timeouts.firstByteMs = 300;
        context.timeouts.pauseMs = 200;
        context.timeouts.answerMs = 300;
        context.wireBytesPerSecond = 0;
    }

    int Run(const std::vector<std::string>& args)
    {
        outText.str("");
        errText.str("");
        const int code = RunCli(args, context);
        synth.WaitIdle();
        return code;
    }

    void MakeWriteOnly(int deviceId)
    {
        out.m_writeOnly.insert(deviceId);
        in.MakeWriteOnly(deviceId);
    }

    // Everything that went out to the port, joined (a bank goes in pieces).
    std::vector<unsigned char> SentBytes() const
    {
        std::vector<unsigned char> bytes;
        for (const auto& message : out.GetMessages())
            bytes.insert(bytes.end(), message.begin(), message.end());
        return bytes;
    }

    std::vector<unsigned char> OnChannel(std::vector<unsigned char> dump, int channel) const
    {
        dump[2] = static_cast<unsigned char>(0x30 | channel);
        return dump;
    }

    // The error output is one line, and it says `text`.
    void ExpectOneLineSaying(const std::string& text) const
    {
        const std::vector<std::string> lines = Lines(errText.str());
        EXPECT_EQ(lines.size(), 1u) << errText.str();
        EXPECT_NE(errText.str().find(text), std::string::npos) << errText.str();
    }

    CTempFolder folder, dataFolder;
    CReadableTestMidiOut out;
    CTestMidiInService in;
    CTestMidiSynth synth;
    std::ostringstream outText, errText;
    CCliContext context{out, in, outText, errText, false, std::string(), nullptr, CReceiveTimeouts(), 0,
                        std::string()};
};

}  // namespace

TEST_F(CliMidiTest, PortsListsHardwarePortsAndWhetherTheyCanBeRead)
{
    MakeWriteOnly(2);
    EXPECT_EQ(Run({"ports"}), 0);
    EXPECT_EQ(outText.str(), "Serial MIDI 1\tin/out\nUM-ONE\tout\n");
}

TEST_F(CliMidiTest, ReceivingAllProgramsWritesTheSynthsMemoryExactly)
{
    const std::string file = folder.File("backup.syx");
    EXPECT_EQ(Run({"receive", "--programs", "-o", file}), 0) << errText.str();
    EXPECT_EQ(out.GetMessages().at(0), BuildDumpRequest(DumpKind::AllPrograms, 0));
    EXPECT_EQ(ReadBytes(file), synth.GetMemoryDump());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"backup.syx"});
    EXPECT_EQ(errText.str(), "") << "quiet when stderr is not a terminal";
}

TEST_F(CliMidiTest, ReceivingTheCurrentProgramOnAChannelGivesIts297Bytes)
{
    synth.SetChannel(9);
    const std::string file = folder.File("current.syx");
    EXPECT_EQ(Run({"receive", "--channel", "10", "--current", "-o", file}), 0) << errText.str();
    EXPECT_EQ(out.GetMessages().at(0), BuildDumpRequest(DumpKind::CurrentProgram, 9));
    const std::vector<unsigned char> bytes = ReadBytes(file);
    EXPECT_EQ(bytes.size(), 297u);
    EXPECT_EQ(bytes, OnChannel(synth.GetEditDump(), 9));
}

TEST_F(CliMidiTest, ReceivingAllDataGivesTheWholeAllDataDump)
{
    // A real MS2000's all-data dump answers here, in pieces as ALSA delivers them.
    const std::string dumpFile = REALDATA + "/mk-all-data-0x50.syx";
    if (!Exists(dumpFile))
        GTEST_SKIP() << "the real dumps are not beside the checkout";
    const std::vector<unsigned char> dump = ReadBytes(dumpFile);
    out.SetListener([this, &dump](const unsigned char* bytes, unsigned int length) {
        if (std::vector<unsigned char>(bytes, bytes + length) != BuildDumpRequest(DumpKind::AllData, 0))
            return;
        for (std::size_t at = 0; at < dump.size(); at += 256)
            in.Deliver(std::vector<unsigned char>(dump.begin() + at, dump.begin() + std::min(at + 256, dump.size())));
    });
    const std::string file = folder.File("all.syx");
    EXPECT_EQ(Run({"receive", "--all", "-o", file}), 0) << errText.str();
    EXPECT_EQ(ReadBytes(file), dump);
}

TEST_F(CliMidiTest, AReceiveThatFailsLeavesNoFileAndAnOldOneAsItWas)
{
    struct Case {
        CTestMidiSynth::Mode mode;
        int synthChannel;
        std::vector<std::string> what;
        int exitCode;
    };
    const Case cases[] = {
        {CTestMidiSynth::Mode::Silent, 0, {"--programs"}, 3},
        {CTestMidiSynth::Mode::Normal, 1, {"--current"}, 3},  // listening on channel 2
        {CTestMidiSynth::Mode::Truncated, 0, {"--programs"}, 4},
        {CTestMidiSynth::Mode::Garbage, 0, {"--current"}, 4},
        {CTestMidiSynth::Mode::Normal, 0, {"--programs"}, 0},  // the control: the same steps succeed
    };
    const std::vector<unsigned char> old = {0xF0, 0x01, 0xF7};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exitCode);
        synth.SetMode(c.mode);
        synth.SetChannel(c.synthChannel);
        const std::string fresh = folder.File("fresh.syx");
        std::vector<std::string> args = {"receive", "-o", fresh};
        args.insert(args.end(), c.what.begin(), c.what.end());
        EXPECT_EQ(Run(args), c.exitCode);
        if (c.exitCode == 0) {
            EXPECT_TRUE(Exists(fresh));
            unlink(fresh.c_str());
            continue;
        }
        EXPECT_EQ(Lines(errText.str()).size(), 1u) << errText.str();
        EXPECT_TRUE(folder.Names().empty()) << "no file, no temporary file";

        const std::string existing = folder.File("existing.syx");
        WriteBytes(existing, old);
        args[2] = existing;
        EXPECT_EQ(Run(args), c.exitCode);
        EXPECT_EQ(ReadBytes(existing), old);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"existing.syx"});
        unlink(existing.c_str());
    }
}

TEST_F(CliMidiTest, AnInterruptedReceiveWritesNothing)
{
    std::atomic<bool> cancel{true};
    context.cancel = &cancel;
    EXPECT_EQ(Run({"receive", "--programs", "-o", folder.File("x.syx")}), 130);
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(CliMidiTest, TheOutputFolderIsCheckedBeforeAskingTheSynth)
{
    EXPECT_EQ(Run({"receive", "--programs", "-o", folder.File("missing/x.syx")}), 1);
    ExpectOneLineSaying("Cannot write " + folder.File("missing/x.syx"));
    EXPECT_TRUE(out.GetMessages().empty());
}

TEST_F(CliMidiTest, AReceiveIsKeptInTheCollectionAsASynthSource)
{
    const std::string file = folder.File("backup.syx");
    EXPECT_EQ(Run({"receive", "--programs", "-o", file}), 0) << errText.str();
    EXPECT_EQ(Run({"sources"}), 0);
    const std::vector<std::string> lines = Lines(outText.str());
    ASSERT_EQ(lines.size(), 1u);
    const std::string name = lines[0].substr(0, lines[0].find('\t'));
    EXPECT_EQ(name.rfind("Synth 20", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("\tsynth\t128\t"), std::string::npos) << lines[0];
    EXPECT_EQ(Run({"export", "--source", name, "-o", folder.File("again.syx")}), 0) << errText.str();
    EXPECT_EQ(ReadBytes(folder.File("again.syx")), synth.GetMemoryDump());

    EXPECT_EQ(Run({"receive", "--no-collection", "--current", "-o", file}), 0);
    EXPECT_EQ(Run({"sources"}), 0);
    EXPECT_EQ(Lines(outText.str()).size(), 1u) << "--no-collection keeps nothing";
}

TEST_F(CliMidiTest, ACollectionThatCannotBeUsedNeverCostsTheBackup)
{
    WriteBytes(folder.File("plain"), {'x'});
    for (const std::string& collection : {folder.File("plain/collection.sqlite"), folder.Path()}) {
        SCOPED_TRACE(collection);
        const std::string file = folder.File("backup.syx");
        EXPECT_EQ(Run({"receive", "--programs", "--collection", collection, "-o", file}), 0);
        EXPECT_EQ(ReadBytes(file), synth.GetMemoryDump());
        ExpectOneLineSaying("Warning: " + file + " was written, but not taken into the Collection: Cannot use the "
                            "Collection " + collection + ". ");
        unlink(file.c_str());
    }
    // A damaged database is set aside and kept; the receive goes into a new one.
    const std::string damaged = dataFolder.File("collection.sqlite");
    std::vector<unsigned char> header(4096, 0x5A);   // an SQLite file, cut short
    const std::string magic = "SQLite format 3";
    std::copy(magic.begin(), magic.end() + 1, header.begin());
    WriteBytes(damaged, header);
    EXPECT_EQ(Run({"receive", "--current", "-o", folder.File("one.syx")}), 0);
    EXPECT_TRUE(Exists(folder.File("one.syx")));
    ExpectOneLineSaying(".damaged-");
    EXPECT_EQ(Run({"sources"}), 0);
    EXPECT_EQ(Lines(outText.str()).size(), 1u);
    std::size_t files = 0;   // a reading command may leave the log and index of the new one
    for (const std::string& name : dataFolder.Names())
        files += name.size() > 4 && (name.rfind("-wal") == name.size() - 4 || name.rfind("-shm") == name.size() - 4) ? 0 : 1;
    EXPECT_EQ(files, 2u) << "the new database and the damaged one";
}

TEST_F(CliMidiTest, PortChoiceByNameStoredSettingAndFirstPort)
{
    // --port ignores letter case.
    EXPECT_EQ(Run({"receive", "--port", "um-one", "--current", "-o", folder.File("a.syx")}), 0) << errText.str();
    EXPECT_EQ(out.GetCalls().front(), "open 22:0");

    // No --port: the window's stored port, when it is connected ...
    std::ofstream(folder.File("Veltrix.conf")) << "[midi]\nchan=0\nport=UM-ONE\n";
    out.ClearCalls();
    EXPECT_EQ(Run({"send", EXAMPLES + "/Warm-Pad.syx"}), 0) << errText.str();
    EXPECT_EQ(out.GetCalls().front(), "open 22:0");

    // ... else the first hardware port.
    std::ofstream(folder.File("Veltrix.conf")) << "[midi]\nport=Gone Interface\n";
    out.ClearCalls();
    EXPECT_EQ(Run({"send", EXAMPLES + "/Warm-Pad.syx"}), 0);
    EXPECT_EQ(out.GetCalls().front(), "open 21:0");
    std::ofstream(folder.File("Veltrix.conf")) << "\x01\xFF[midi\nport\n";
    out.ClearCalls();
    EXPECT_EQ(Run({"send", EXAMPLES + "/Warm-Pad.syx"}), 0);
    EXPECT_EQ(out.GetCalls().front(), "open 21:0");
}

TEST_F(CliMidiTest, APortThatIsNotThereOrCannotBeReadIsAUsageError)
{
    EXPECT_EQ(Run({"receive", "--port", "Nope", "--current", "-o", folder.File("a.syx")}), 2);
    ExpectOneLineSaying("There is no MIDI port named \"Nope\"; the ports are: \"Serial MIDI 1\", \"UM-ONE\"");
    EXPECT_EQ(Run({"send", "--port", "Midi Through Port-0", EXAMPLES + "/Warm-Pad.syx"}), 2)
        << "software ports are not listed";

    MakeWriteOnly(1);
    EXPECT_EQ(Run({"receive", "--current", "-o", folder.File("a.syx")}), 2);
    ExpectOneLineSaying("\"Serial MIDI 1\" can only be written");
    EXPECT_EQ(Run({"send", "--yes", EXAMPLES + "/Demo-Bank.syx"}), 2);
    ExpectOneLineSaying("can only be written");
    EXPECT_TRUE(out.GetMessages().empty());
    EXPECT_TRUE(folder.Names().empty());
    // A single program needs no answer: a write-only port does.
    EXPECT_EQ(Run({"send", EXAMPLES + "/Warm-Pad.syx"}), 0);

    out.Unplug();
    EXPECT_EQ(Run({"ports"}), 0);
    EXPECT_EQ(outText.str(), "");
    EXPECT_EQ(Run({"send", EXAMPLES + "/Warm-Pad.syx"}), 2);
    ExpectOneLineSaying("No hardware MIDI port is connected");
}

// Two interfaces of one model give two ports of one name, as ALSA lists them.
TEST_F(CliMidiTest, PortsOfOneNameAreToldApartAndEachCanBeChosen)
{
    out.AddDevice("UM-ONE");                                                  // 23:0
    out.AddDevice("USB MIDI Interface with a long name, port number one");   // 24:0
    out.AddDevice("USB MIDI Interface with a long name, port number two");   // 25:0
    EXPECT_EQ(Run({"ports"}), 0);
    EXPECT_EQ(outText.str(), "Serial MIDI 1\tin/out\nUM-ONE\tin/out\nUM-ONE #2\tin/out\n"
                             "USB MIDI Interface with a long name, port number one\tin/out\n"
                             "USB MIDI Interface with a long name, port number two\tin/out\n");

    struct Case {
        const char* what;
        std::string port;      // --port, empty: none
        std::string settings;  // the window's settings file
        int exitCode;
        std::string opened;    // the first call, or what stderr says
    };
    const std::string sendToEditBuffer = EXAMPLES + "/Warm-Pad.syx";
    const Case cases[] = {
        {"--port as ports prints it", "um-one #2", "", 0, "open 23:0"},
        {"--port, the first of the name", "UM-ONE", "", 0, "open 22:0"},
        {"--port, a long name whole", "USB MIDI Interface with a long name, port number two", "", 0, "open 25:0"},
        {"--port, a long name cut", "USB MIDI Interface with a long name, po", "", 2, "There is no MIDI port named"},
        {"stored by the window", "", "[midi]\nport=UM-ONE #2\naddress=23:0\n", 0, "open 23:0"},
        {"stored by an older window, without its address", "", "[midi]\nport=UM-ONE #2\n", 0, "open 23:0"},
    };
    for (const Case& c : cases) {
        std::ofstream(folder.File("Veltrix.conf")) << c.settings;
        out.ClearCalls();
        std::vector<std::string> args = {"send", sendToEditBuffer};
        if (!c.port.empty())
            args = {"send", "--port", c.port, sendToEditBuffer};
        EXPECT_EQ(Run(args), c.exitCode) << c.what << ": " << errText.str();
        if (c.exitCode == 0)
            EXPECT_EQ(out.GetCalls().front(), c.opened) << c.what;
        else
            ExpectOneLineSaying(c.opened);
    }

    // The stored second interface is gone: its twin is not taken in its place.
    out.UnplugAt("23:0");
    std::ofstream(folder.File("Veltrix.conf")) << "[midi]\nport=UM-ONE #2\naddress=23:0\n";
    out.ClearCalls();
    EXPECT_EQ(Run({"send", "--yes", EXAMPLES + "/Demo-Bank.syx"}), 2);
    ExpectOneLineSaying("The MIDI port \"UM-ONE #2\" chosen in the Veltrix window is not connected");
    ExpectOneLineSaying("the ports are: \"Serial MIDI 1\", \"UM-ONE\", \"USB MIDI");
    EXPECT_TRUE(out.GetCalls().empty());
}

// A port pulled out while a command uses it: exit 6, naming it, rather than a silence (3) or
// an answer that stopped (4).
TEST_F(CliMidiTest, APortUnpluggedDuringAReceiveOrSendIsAMidiErrorNamingIt)
{
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int unplugAfterMs;
        std::string says;
    };
    const std::string file = folder.File("backup.syx");
    const Case cases[] = {
        // The answer starts after 200 ms; a bank then takes 0.4 s.
        {"before the answer", {"receive", "--port", "UM-ONE", "--current", "-o", file}, 30,
         "while receiving; nothing was written"},
        {"during the answer", {"receive", "--port", "UM-ONE", "--programs", "-o", file}, 300,
         "while receiving; nothing was written"},
        {"waiting for the verdict", {"send", "--port", "UM-ONE", "--yes", EXAMPLES + "/Demo-Bank.syx"}, 30,
         "while sending the bank"},
    };
    context.timeouts.firstByteMs = 2000;
    context.timeouts.pauseMs = 2000;
    context.timeouts.answerMs = 2000;
    for (const Case& c : cases) {
        out.Replug("UM-ONE");
        WriteBytes(file, {1, 2, 3});
        synth.SetMode(c.args[0] == "send" ? CTestMidiSynth::Mode::Silent : CTestMidiSynth::Mode::Normal);
        synth.SetAnswerDelay(200);
        synth.SetWireRate(100000);
        std::thread unplug([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(c.unplugAfterMs));
            out.Unplug("UM-ONE");
        });
        const int code = Run(c.args);
        unplug.join();
        EXPECT_EQ(code, 6) << c.what << ": " << errText.str();
        ExpectOneLineSaying("The MIDI port \"UM-ONE\" went away (unplugged or switched off) " + c.says);
        EXPECT_EQ(ReadBytes(file), (std::vector<unsigned char>{1, 2, 3})) << c.what;
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"backup.syx"}) << c.what;
    }
}

TEST_F(CliMidiTest, APortThatWillNotOpenIsAMidiError)
{
    out.RefuseOpen(7, "The device is busy.");
    EXPECT_EQ(Run({"receive", "--current", "-o", folder.File("a.syx")}), 6);
    ExpectOneLineSaying("Error: Failed to open the specified MIDI port. The device is busy.");
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(CliMidiTest, OneProgramGoesToTheEditBufferOnTheGivenChannel)
{
    synth.SetChannel(4);
    const std::vector<unsigned char> file = ReadBytes(EXAMPLES + "/Warm-Pad.syx");
    EXPECT_EQ(Run({"send", "--channel", "5", EXAMPLES + "/Warm-Pad.syx"}), 0) << errText.str();
    ASSERT_EQ(out.GetMessages().size(), 1u);
    EXPECT_EQ(out.GetMessages()[0], OnChannel(file, 4));
    EXPECT_EQ(synth.GetEditDump(), file);
    EXPECT_EQ(in.GetOpenCount(), 0) << "nothing to listen for";
}

TEST_F(CliMidiTest, ABankNeedsYesThenReplacesTheSynthsMemory)
{
    const std::string bank = EXAMPLES + "/Demo-Bank.syx";
    EXPECT_EQ(Run({"send", bank}), 2);
    ExpectOneLineSaying("Sending " + bank + " would replace all 128 programs");
    ExpectOneLineSaying("--yes");
    EXPECT_TRUE(out.GetMessages().empty());

    synth.SetChannel(2);
    EXPECT_EQ(Run({"send", "--yes", "--channel", "3", bank}), 0) << errText.str();
    EXPECT_EQ(SentBytes(), OnChannel(ReadBytes(bank), 2));
    EXPECT_EQ(synth.GetMemoryDump(), ReadBytes(bank));
}

TEST_F(CliMidiTest, AnAllDataFileIsSentAsItsProgramsAlone)
{
    if (!Exists(REALDATA + "/mk-all-data-0x50.syx"))
        GTEST_SKIP() << "the real dumps are not beside the checkout";
    EXPECT_EQ(Run({"send", "--yes", REALDATA + "/mk-all-data-0x50.syx"}), 0) << errText.str();
    // The same 128 programs as the program dump beside it, as one 0x4C message.
    EXPECT_EQ(SentBytes(), ReadBytes(REALDATA + "/mk-programs-0x4C.syx"));
    EXPECT_EQ(synth.GetMemoryDump(), ReadBytes(REALDATA + "/mk-programs-0x4C.syx"));
}

TEST_F(CliMidiTest, TheSynthsVerdictOnABankDecidesTheExitCode)
{
    const std::string bank = EXAMPLES + "/Demo-Bank.syx";
    synth.SetMode(CTestMidiSynth::Mode::Silent);
    EXPECT_EQ(Run({"send", "--yes", bank}), 3);
    EXPECT_EQ(Lines(errText.str()).size(), 1u) << errText.str();

    // A synthesizer that takes the bank and answers "data load error".
    out.SetListener([this](const unsigned char* bytes, unsigned int length) {
        if (length > 0 && bytes[length - 1] == SYX_END)
            in.Deliver({0xF0, 0x42, 0x30, 0x58, FUNC_DATA_LOAD_ERROR, 0xF7});
    });
    EXPECT_EQ(Run({"send", "--yes", bank}), 5);
    EXPECT_EQ(Lines(errText.str()).size(), 1u) << errText.str();
}

TEST_F(CliMidiTest, AFileThatCannotBeSentIsAFileError)
{
    EXPECT_EQ(Run({"send", folder.File("missing.syx")}), 1);
    EXPECT_EQ(errText.str(), "Failed to parse Syx file missing. Cannot open file\n");
    WriteBytes(folder.File("short.2.syx"), {0xF0, 0x42, 0x30, 0x58, 0x40, 0x00, 0xF7});
    EXPECT_EQ(Run({"send", "--yes", folder.File("short.2.syx")}), 1);
    EXPECT_EQ(errText.str(), "Failed to parse Syx file short. Failed to read file, patch data appears to be corrupted\n");
    EXPECT_TRUE(out.GetMessages().empty());
}

TEST_F(CliMidiTest, OnATerminalProgressIsShownAndTheResultSaid)
{
    context.interactive = true;
    EXPECT_EQ(Run({"receive", "--programs", "-o", folder.File("b.syx")}), 0);
    const std::string text = errText.str();
    EXPECT_NE(text.find("\rReceiving from \"Serial MIDI 1\": 37,163 of 37,163 bytes (100%)"), std::string::npos) << text;
    EXPECT_NE(text.find("\nWrote 37,163 bytes to " + folder.File("b.syx") + "\n"), std::string::npos) << text;
    EXPECT_EQ(outText.str(), "") << "stdout stays clean for scripts";

    EXPECT_EQ(Run({"send", "--yes", EXAMPLES + "/Demo-Bank.syx"}), 0);
    EXPECT_NE(errText.str().find("37,163 of 37,163 bytes (100%)"), std::string::npos) << errText.str();
    EXPECT_NE(errText.str().find("The synthesizer took the 128 programs of Demo-Bank"), std::string::npos);
}

TEST_F(CliMidiTest, HelpGoesToStdoutAndUsageErrorsAreOneLineWithCode2)
{
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_EQ(outText.str(), CliHelpText());
    EXPECT_EQ(errText.str(), "");
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(outText.str(), "veltrix-cli " VELTRIX_VERSION "\n");
    EXPECT_EQ(Run({"receive", "--current", "-o"}), 2);
    ExpectOneLineSaying("-o needs a value");
    EXPECT_EQ(outText.str(), "");
    EXPECT_TRUE(out.GetCalls().empty()) << "nothing is opened for a usage error";
}
