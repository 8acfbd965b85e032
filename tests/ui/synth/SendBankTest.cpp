// Receive Bank from Synth and Send Bank to Synth... with the bank pane.

#include "SynthTestSupport.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"

#include <QAction>
#include <QComboBox>
#include <QRegularExpression>

namespace {

class SendBankTest : public SynthTest {
protected:
    CBankPane& Pane() { return *fixture.Bank().Pane(); }

    // A bank opened from a file of 128 programs named "Bank" and their index.
    void OpenBank()
    {
        std::vector<std::vector<unsigned char>> programs;
        for (int i = 0; i < 128; ++i)
            programs.push_back(MakeProgram("Bank" + std::to_string(i), i % 4, i));
        fixture.fileDialogs.nextOpen = {WriteDump(Path("Bank.syx"), programs, FUNC_PROGRAM_DUMP)};
        Trigger(ID_FILE_OPEN_BANK);
        ASSERT_TRUE(Pane().HasBank());
    }

    // The synthesizer gives way to a scripted far end that answers a bank with `function`.
    void AnswerBanksWith(unsigned char function)
    {
        synth.reset();
        // Answers a message longer than a request once its end byte is in (it may come alone).
        auto received = std::make_shared<size_t>(0);
        fixture.midi.SetListener([this, function, received](const unsigned char* bytes, unsigned int length) {
            if (length > 0 && bytes[0] == 0xF0)
                *received = 0;
            *received += length;
            if (length > 0 && bytes[length - 1] == 0xF7 && *received > 6)
                midiIn.Deliver({0xF0, 0x42, 0x30, 0x58, function, 0xF7});
        });
    }

    void SendConfirmed()
    {
        fixture.questions.confirm = true;
        Trigger(ID_PROGRAM_SEND_BANK);
        ASSERT_TRUE(WaitForTransfer());
    }
};

TEST_F(SendBankTest, ReceiveBankAsksAboutUnsavedChangesThenMakesTheSynthesizersProgramsTheBank)
{
    ClickMidiActive();
    OpenBank();
    Pane().MoveSlot(0, 1);   // unsaved changes
    fixture.questions.answer = SaveChoice::Cancel;
    Trigger(ID_PROGRAM_RECEIVE_BANK);
    EXPECT_EQ(fixture.questions.asked.size(), 1u);
    EXPECT_FALSE(Synth().IsRunning());
    EXPECT_TRUE(synth->GetLog().empty());   // nothing was asked of the synthesizer
    EXPECT_TRUE(Pane().IsModified());

    fixture.questions.answer = SaveChoice::Discard;
    ReceiveWith(ID_PROGRAM_RECEIVE_BANK);
    ASSERT_TRUE(fixture.messageBox.shown.empty());
    EXPECT_EQ(Pane().BankDump(0), synth->GetMemoryDump());
    EXPECT_FALSE(Pane().IsModified());
    EXPECT_TRUE(QRegularExpression("^Synth \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$").match(Pane().SourceName()).hasMatch());
    EXPECT_EQ(Frame().Programs().GetSize(), 0);   // the bank, not the library
    EXPECT_EQ(Synth().ReceivedDump(), synth->GetMemoryDump());
}

TEST_F(SendBankTest, SendAsksInWordsThatAll128ProgramsGoAndDoesNothingWhenDeclined)
{
    ClickMidiActive();
    EXPECT_FALSE(Command(ID_PROGRAM_SEND_BANK)->isEnabled());
    OpenBank();
    fixture.Idle();
    EXPECT_TRUE(Command(ID_PROGRAM_SEND_BANK)->isEnabled());
    EXPECT_EQ(Command(ID_PROGRAM_SEND_BANK)->text(), "Se&nd Bank to Synth...");

    fixture.questions.confirm = false;
    const Bytes before = synth->GetMemoryDump();
    Trigger(ID_PROGRAM_SEND_BANK);
    ASSERT_EQ(fixture.questions.confirmations.size(), 1u);
    const QString question = fixture.questions.confirmations[0];
    EXPECT_TRUE(question.contains("All 128 programs in the synthesizer's memory will be replaced"))
        << question.toStdString();
    EXPECT_TRUE(question.contains("Bank.syx"));
    EXPECT_EQ(fixture.questions.confirmButtons[0], "&Replace All 128 Programs");
    EXPECT_FALSE(Synth().IsRunning());
    EXPECT_TRUE(fixture.midi.GetMessages().empty());
    EXPECT_EQ(synth->GetMemoryDump(), before);
}

TEST_F(SendBankTest, ABankTheSynthesizerTookIsReportedWithTheInformationIcon)
{
    Frame().findChild<QComboBox*>("midiChan")->setCurrentIndex(2);
    synth->SetChannel(2);
    ClickMidiActive();
    OpenBank();
    Pane().MoveSlot(0, 127);
    SendConfirmed();
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.contains("data load completed"));
    EXPECT_EQ(synth->GetMemoryDump(), Pane().BankDump(0));
    // What went out carries the chosen channel.
    const auto messages = fixture.midi.GetMessages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0][2], 0x32);
    EXPECT_EQ(midiIn.GetOpenCount(), 0);
    EXPECT_TRUE(Pane().IsModified());   // sending is not saving
}

TEST_F(SendBankTest, ALoadErrorAndSilenceAreToldAsFailures)
{
    ClickMidiActive();
    OpenBank();
    AnswerBanksWith(0x24);
    SendConfirmed();
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(fixture.messageBox.shown[0].text,
              "The synthesizer reported a data load error: it did not take the bank.");

    fixture.messageBox.shown.clear();
    fixture.midi.SetListener(nullptr);   // nobody at the far end
    SendConfirmed();
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.startsWith("The synthesizer did not confirm the bank within"))
        << fixture.messageBox.shown[0].text.toStdString();
}

}  // namespace
