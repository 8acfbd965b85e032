#include "Bank.h"
#include "ProgramWrite.h"
#include "SynthFixture.h"
#include "SyxFormat.h"

#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr unsigned int SHORT_WAIT_MS = 150;

Bytes Program(unsigned char seed)
{
    Bytes program(254);
    for (size_t i = 0; i < program.size(); ++i)
        program[i] = static_cast<unsigned char>(seed + i * 7);
    return program;
}

Bytes Short(unsigned char function)
{
    return {0xF0, 0x42, 0x30, 0x58, function, 0xF7};
}

struct ProgramWriteTest : SynthFixture
{
    CSlotWriteResult Write(const Bytes& program, int slot, unsigned int answerMs = SLOT_WRITE_ANSWER_MS)
    {
        return WriteProgramToSlot(out, hOut, done, in, hIn, program.data(), static_cast<unsigned int>(program.size()),
                                  slot, 0, nullptr, answerMs);
    }

    // A far end that answers the program dump with `programAnswer` and the write request
    // with `writeAnswer` (0: no answer), in place of the simulated synthesizer.
    void AnswerWith(unsigned char programAnswer, unsigned char writeAnswer)
    {
        out.SetListener(nullptr);
        out.SetListener([this, programAnswer, writeAnswer](const unsigned char* bytes, unsigned int length) {
            const unsigned char answer = length > 6 && bytes[4] == 0x40 ? programAnswer
                                         : length == 8 && bytes[4] == 0x11 ? writeAnswer
                                                                           : 0;
            if (answer != 0)
                in.Deliver(Short(answer));
        });
    }

    bool WriteRequestSent()
    {
        for (const Bytes& message : out.GetMessages())
            if (message.size() == 8 && message[4] == 0x11)
                return true;
        return false;
    }
};

TEST(SlotLabelTest, SlotsAreNamedAsTheWritesTextsNameThemAndWrittenToByNumber)
{
    EXPECT_EQ("A 01", SlotLabel(0));
    EXPECT_EQ("C 05", SlotLabel(36));
    EXPECT_EQ("H 16", SlotLabel(127));
    EXPECT_EQ((Bytes{0xF0, 0x42, 0x3A, 0x58, 0x11, 0x00, 0x24, 0xF7}), BuildProgramWriteRequest(36, 10));
}

TEST_F(ProgramWriteTest, WrittenProgramIsInTheSlotAndNothingElseChanged)
{
    std::string error;
    std::optional<CBank> expected = CBank::ReadBytes(synth.GetMemoryDump().data(), synth.GetMemoryDump().size(), error);
    ASSERT_TRUE(expected) << error;
    const Bytes program = Program(9);
    ASSERT_TRUE(expected->PutProgram(36, program.data(), 254));
    // An audition's late answer waits in the input: it is not this write's answer.
    in.Deliver(Short(0x23));

    const CSlotWriteResult result = Write(program, 36);
    EXPECT_EQ(SlotWriteStatus::Written, result.status);
    EXPECT_EQ("Written to C 05", result.text);
    EXPECT_EQ(expected->BuildDump(0), synth.GetMemoryDump());
    // The program to the edit buffer first, then the write request.
    const std::vector<Bytes> sent = out.GetMessages();
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ(297u, sent[0].size());
    EXPECT_EQ(BuildProgramWriteRequest(36, 0), sent[1]);
}

TEST_F(ProgramWriteTest, ProtectedOrSilentSynthesizerKeepsItsMemory)
{
    const Bytes before = synth.GetMemoryDump();
    synth.SetMode(CTestMidiSynth::Mode::Nak);
    EXPECT_EQ(SlotWriteStatus::Refused, Write(Program(9), 36).status);
    EXPECT_FALSE(WriteRequestSent());   // the edit buffer did not take the program: no write
    synth.SetMode(CTestMidiSynth::Mode::Silent);
    EXPECT_EQ(SlotWriteStatus::NoAnswer, Write(Program(9), 36, SHORT_WAIT_MS).status);
    EXPECT_EQ(before, synth.GetMemoryDump());
}

TEST_F(ProgramWriteTest, EachAnswerAndItsAbsenceHasItsOutcome)
{
    const struct {
        const char* what;
        unsigned char programAnswer;
        unsigned char writeAnswer;
        SlotWriteStatus status;
        const char* text;
        bool writeRequestSent;
    } cases[] = {
        {"written", 0x23, 0x21, SlotWriteStatus::Written, "Written to A 05", true},
        {"write error", 0x23, 0x22, SlotWriteStatus::Refused, "The synthesizer refused the write (memory protect on?)",
         true},
        {"the program refused", 0x24, 0x21, SlotWriteStatus::Refused,
         "The synthesizer refused the write (memory protect on?)", false},
        {"no answer to the write", 0x23, 0, SlotWriteStatus::NoAnswer, "No answer from the synthesizer", true},
        {"no answer at all", 0, 0, SlotWriteStatus::NoAnswer, "No answer from the synthesizer", false},
        {"a data load answer only", 0x23, 0x23, SlotWriteStatus::NoAnswer, "No answer from the synthesizer", true},
    };
    for (const auto& c : cases) {
        AnswerWith(c.programAnswer, c.writeAnswer);
        const size_t sentBefore = out.GetMessages().size();
        const CSlotWriteResult result = Write(Program(3), 4, SHORT_WAIT_MS);
        EXPECT_EQ(c.status, result.status) << c.what;
        EXPECT_EQ(c.text, result.text) << c.what;
        EXPECT_EQ(sentBefore + (c.writeRequestSent ? 2 : 1), out.GetMessages().size()) << c.what;
    }
}

TEST_F(ProgramWriteTest, ClosedPortOrRefusedSendIsAMidiError)
{
    const Bytes program = Program(1);
    EXPECT_EQ(SlotWriteStatus::MidiError, WriteProgramToSlot(out, nullptr, done, in, hIn, program.data(), 254, 4, 0,
                                                             nullptr).status);
    out.RefuseSend(7, "The port went away.");
    const CSlotWriteResult refused = Write(program, 4);
    EXPECT_EQ(SlotWriteStatus::MidiError, refused.status);
    EXPECT_EQ("Error: Failed to send Midi SysEx message to MS2K. The port went away.", refused.text);
}

}  // namespace
