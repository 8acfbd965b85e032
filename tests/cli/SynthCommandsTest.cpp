// detect and write, run whole (RunCli) against the test MIDI services with simulated
// synthesizers cabled to single ports, and the Collection following what is sent.
#include "Bank.h"
#include "Cli.h"
#include "CliContext.h"
#include "CliTestSupport.h"
#include "Collection.h"
#include "SyxFormat.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"
#include "TestMidiSynth.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>

namespace {

using Bytes = std::vector<unsigned char>;

// A program named `name` (254 bytes).
Bytes NamedProgram(const std::string& name)
{
    Bytes program = MadeUpPrograms(1);
    const std::string padded = name + std::string(12, ' ');
    std::copy(padded.begin(), padded.begin() + 12, program.begin());
    return program;
}

CBank::ProgramData SlotOf(const Bytes& memoryDump, int slot)
{
    std::string error;
    const std::optional<CBank> bank = CBank::ReadBytes(memoryDump.data(), memoryDump.size(), error);
    return bank ? bank->GetProgram(slot) : CBank::ProgramData{};
}

CBank::ProgramData Data(const Bytes& program)
{
    CBank::ProgramData data{};
    std::copy(program.begin(), program.end(), data.begin());
    return data;
}

class CliSynthTest : public ::testing::Test
{
protected:
    CliSynthTest()
    {
        out.AddDevice("Midi Through Port-0", MidiOutKind::Other, true);
        out.AddDevice("UM-ONE", MidiOutKind::HardwarePort, true);        // 21:0
        out.AddDevice("UM-ONE", MidiOutKind::HardwarePort, true);        // 22:0, listed "UM-ONE #2"
        out.AddDevice("Out Only", MidiOutKind::HardwarePort, false);     // 23:0
        context.settingsPath = folder.File("Veltrix.conf");
        context.collectionPath = folder.File("collection.sqlite");
        context.timeouts.firstByteMs = 300;
        context.findListenMs = 150;
        context.writeAnswerMs = 150;
        context.wireBytesPerSecond = 0;
    }

    // The simulated synthesizer cabled to the port at `address`, on `channel` (0-15).
    CTestMidiSynth& CableSynth(const std::string& address, int channel)
    {
        synths.push_back(std::make_unique<CTestMidiSynth>(out, in, address));
        synths.back()->SetChannel(channel);
        return *synths.back();
    }

    int Run(const std::vector<std::string>& args)
    {
        outText.str("");
        errText.str("");
        const int code = RunCli(args, context);
        for (auto& synth : synths)
            synth->WaitIdle();
        return code;
    }

    std::unique_ptr<CCollection> Collection()
    {
        std::string error, notice;
        auto collection = CCollection::Open(context.collectionPath, error, notice);
        EXPECT_TRUE(collection) << error;
        return collection;
    }

    CKnownSynthMemory Known()
    {
        CKnownSynthMemory memory;
        std::string error;
        EXPECT_TRUE(Collection()->KnownSynthMemory(memory, error)) << error;
        return memory;
    }

    CTempFolder folder;
    CTestMidiOutService out;
    CTestMidiInService in{out};
    std::vector<std::unique_ptr<CTestMidiSynth>> synths;
    std::ostringstream outText, errText;
    CCliContext context{out, in, outText, errText, false, std::string(), nullptr, CReceiveTimeouts(), 0,
                        std::string()};

    // A one-program file of `name`.
    std::string ProgramFile(const std::string& name)
    {
        const Bytes program = NamedProgram(name);
        const std::string path = folder.File(name + ".syx");
        WriteBytes(path, BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, program.data(), 254));
        return path;
    }
};

}  // namespace

TEST_F(CliSynthTest, DetectPrintsOneLinePerAnswerAndExitsThreeWithNone)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, int>> synths;   // address and channel
        std::string lines;
        int exitCode;
    };
    const Case cases[] = {
        {"nobody there", {}, "", 3},
        {"one, on channel 3", {{"21:0", 2}}, "UM-ONE\t3\tMS2000\n", 0},
        {"on the second of two ports of one name", {{"22:0", 15}}, "UM-ONE #2\t16\tMS2000\n", 0},
        {"one on each", {{"21:0", 0}, {"22:0", 9}}, "UM-ONE\t1\tMS2000\nUM-ONE #2\t10\tMS2000\n", 0},
        {"cabled to a port that only sends", {{"23:0", 0}}, "", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        synths.clear();
        for (const auto& [address, channel] : c.synths)
            CableSynth(address, channel);
        EXPECT_EQ(c.exitCode, Run({"detect"}));
        EXPECT_EQ(c.lines, outText.str());
        if (c.exitCode == 3) {
            EXPECT_NE(errText.str().find("No synthesizer answered on UM-ONE and UM-ONE #2 within 1 second."),
                      std::string::npos) << errText.str();
        }
    }
}

TEST_F(CliSynthTest, DetectTakesJson)
{
    CableSynth("22:0", 2);
    EXPECT_EQ(0, Run({"detect", "--json"}));
    EXPECT_EQ("[\n  {\"port\": \"UM-ONE #2\", \"channel\": 3, \"model\": \"MS2000\"}\n]\n", outText.str());
    synths.clear();
    EXPECT_EQ(3, Run({"detect", "--json"}));
    EXPECT_EQ("[]\n", outText.str());
}

TEST_F(CliSynthTest, WriteWithoutYesSaysWhatItWouldReplace)
{
    CTestMidiSynth& synth = CableSynth("21:0", 0);
    const std::string file = ProgramFile("Warm Pad");
    EXPECT_EQ(2, Run({"write", file, "--slot", "A05"}));
    EXPECT_EQ("Writing \"Warm Pad\" to A 05 would replace the program in the synthesizer's memory; run again with "
              "--yes to do it\n", errText.str());

    // Once the Collection knows the memory, the program in the slot is named.
    CImportResult result;
    std::string error;
    ASSERT_TRUE(Collection()->ImportSynthDump(synth.GetMemoryDump(), result, error)) << error;
    EXPECT_EQ(2, Run({"write", file, "--slot", "a5"}));
    EXPECT_EQ("Writing \"Warm Pad\" to A 05 would replace \"Synth 005\" in the synthesizer's memory; run again with "
              "--yes to do it\n", errText.str());
    EXPECT_TRUE(out.GetMessages().empty());   // nothing went to the synthesizer
}

TEST_F(CliSynthTest, WriteStoresTheProgramInTheSlotAndTheCollectionFollows)
{
    CTestMidiSynth& synth = CableSynth("22:0", 2);
    CImportResult result;
    std::string error;
    ASSERT_TRUE(Collection()->ImportSynthDump(synth.GetMemoryDump(), result, error, 1000)) << error;
    const Bytes before = synth.GetMemoryDump();

    context.interactive = true;
    EXPECT_EQ(0, Run({"write", ProgramFile("Warm Pad"), "--slot", "C05", "--yes", "--port", "UM-ONE #2", "--channel",
                      "3"}));
    EXPECT_EQ("Written to C 05 on \"UM-ONE #2\", channel 3: \"Warm Pad\"\n", errText.str());
    const Bytes after = synth.GetMemoryDump();
    EXPECT_EQ(Data(NamedProgram("Warm Pad")), SlotOf(after, 36));
    for (int slot = 0; slot < 128; ++slot) {
        if (slot != 36) {
            EXPECT_EQ(SlotOf(before, slot), SlotOf(after, slot)) << slot;
        }
    }
    const CKnownSynthMemory memory = Known();
    ASSERT_TRUE(memory.IsKnown());
    EXPECT_EQ(1, memory.slotsWritten);
    EXPECT_EQ(Data(NamedProgram("Warm Pad")), memory.programs[36]);
}

TEST_F(CliSynthTest, WriteRefusedOrUnansweredLeavesTheSynthesizerAndTheCollectionAsTheyWere)
{
    CTestMidiSynth& synth = CableSynth("21:0", 0);
    const Bytes before = synth.GetMemoryDump();
    const std::string file = ProgramFile("Warm Pad");
    const struct {
        CTestMidiSynth::Mode mode;
        int exitCode;
        const char* says;
    } cases[] = {
        {CTestMidiSynth::Mode::Nak, 5, "The synthesizer refused the write (memory protect on?)\n"},
        {CTestMidiSynth::Mode::Silent, 3,
         "No answer from the synthesizer (within 0.1 seconds; check both MIDI cables and that its global MIDI channel "
         "is 1); it is not known what H 16 holds now\n"},
    };
    for (const auto& c : cases) {
        synth.SetMode(c.mode);
        EXPECT_EQ(c.exitCode, Run({"write", file, "--slot", "H16", "--yes"}));
        EXPECT_EQ(c.says, errText.str());
        EXPECT_EQ(before, synth.GetMemoryDump());
    }
    EXPECT_FALSE(Known().IsKnown());
}

TEST_F(CliSynthTest, WriteTakesOneProgramThroughAPortThatCanAnswer)
{
    CableSynth("21:0", 0);
    const Bytes bank = MadeUpPrograms(128);
    const std::string bankFile = folder.File("bank.syx");
    WriteBytes(bankFile, BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, bank.data(), static_cast<unsigned int>(bank.size())));
    EXPECT_EQ(1, Run({"write", bankFile, "--slot", "A01", "--yes"}));
    EXPECT_EQ("bank holds 128 programs; write takes a file of one program\n", errText.str());
    EXPECT_EQ(2, Run({"write", ProgramFile("Pad"), "--slot", "A01", "--yes", "--port", "Out Only"}));
    EXPECT_NE(errText.str().find("can only be written"), std::string::npos) << errText.str();
}

TEST_F(CliSynthTest, BankSentIsWhatTheCollectionKnowsTheSynthesizerHolds)
{
    CableSynth("21:0", 0);
    const Bytes bank = MadeUpPrograms(128);
    const std::string bankFile = folder.File("bank.syx");
    WriteBytes(bankFile, BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, bank.data(), static_cast<unsigned int>(bank.size())));
    context.timeouts.answerMs = 300;
    EXPECT_EQ(0, Run({"send", "--yes", bankFile})) << errText.str();
    const CKnownSynthMemory memory = Known();
    ASSERT_EQ(CKnownSynthMemory::Base::BankSent, memory.base);
    EXPECT_EQ(Data(Bytes(bank.begin() + 254 * 5, bank.begin() + 254 * 6)), memory.programs[5]);
}
