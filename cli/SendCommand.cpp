#include "MidiCommands.h"

#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "CommandPort.h"
#include "ExitCodes.h"
#include "FileDisplayName.h"
#include "MidiConnection.h"
#include "PortChoice.h"
#include "ProgramList.h"
#include "ProgramSender.h"
#include "SendBank.h"
#include "SyxFormat.h"
#include "SyxProgram.h"
#include "TextOutput.h"

namespace {

constexpr int BANK_PROGRAMS = 128;

int ExitCodeFor(BankSendStatus status)
{
    switch (status) {
    case BankSendStatus::Completed: return CLI_EXIT_OK;
    case BankSendStatus::LoadError: return CLI_EXIT_LOAD_ERROR;
    case BankSendStatus::NoAnswer: return CLI_EXIT_NO_ANSWER;
    case BankSendStatus::Cancelled: return CLI_EXIT_INTERRUPTED;
    case BankSendStatus::MidiError: return CLI_EXIT_MIDI;
    case BankSendStatus::InvalidDump: return CLI_EXIT_FILE;
    }
    return CLI_EXIT_MIDI;
}

// A one-program file goes to the edit buffer, as the window's Audition sends it.
int SendToEditBuffer(const CSyxProgram& program, const CCliOptions& options, CCliContext& context)
{
    CCliPort port;
    if (const int code = PickCommandPort(options, context, false, "", port))
        return code;
    CProgramMessage message;
    if (!BuildProgramMessage(program.GetData(), program.GetLength(), options.channel - 1, message)) {
        context.err << "The program does not fit in one message" << std::endl;
        return CLI_EXIT_FILE;
    }
    CMidiConnection midi(context.midiOut, context.midiIn);
    std::string error;
    if (!midi.Open(port, false, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_MIDI;
    }
    if (!SendProgramMessage(context.midiOut, midi.Out(), midi.Done(), message, error)) {
        if (PortWentAway(context.midiOut, port))
            return ReportPortGone(context, port, "sending", "the program may not have reached the synthesizer");
        context.err << error << std::endl;
        return CLI_EXIT_MIDI;
    }
    if (context.interactive)
        context.err << "Sent \"" << FieldText(program.GetNameView(), true) << "\" to the edit buffer on \""
                    << port.name << "\", channel " << options.channel << std::endl;
    return CLI_EXIT_OK;
}

// 128 programs replace the synthesizer's memory, as one program data dump (0x4C), whatever
// kind of dump the file was; the synthesizer's verdict decides the outcome.
int SendToMemory(const CProgramList& programs, const std::string& displayName, const CCliOptions& options,
                 CCliContext& context)
{
    CCliPort port;
    if (const int code = PickCommandPort(options, context, true, "wait for the synthesizer's answer", port))
        return code;
    std::vector<unsigned char> data;
    data.reserve(PROGRAM_DATA_SIZE * BANK_PROGRAMS);
    for (int i = 0; i < programs.GetSize(); ++i) {
        const CSyxProgram* program = programs.GetAt(i);
        data.insert(data.end(), program->GetData(), program->GetData() + program->GetLength());
    }
    const std::vector<unsigned char> dump = BuildDumpMessage(FUNC_PROGRAM_DUMP, options.channel - 1, data.data(),
                                                             static_cast<unsigned int>(data.size()));

    CMidiConnection midi(context.midiOut, context.midiIn);
    std::string error;
    if (!midi.Open(port, true, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_MIDI;
    }
    CProgressLine progress(context.err, context.interactive, "Sending to \"" + port.name + "\":");
    const CBankSendResult result = SendBankDump(
        context.midiOut, midi.Out(), midi.Done(), context.midiIn, midi.In(), dump, options.channel - 1,
        [&progress](std::size_t sent, std::size_t total) { progress.Update(sent, total); }, context.cancel,
        context.timeouts.answerMs, context.wireBytesPerSecond);
    progress.Finish();
    if (result.status != BankSendStatus::Completed && result.status != BankSendStatus::Cancelled &&
        PortWentAway(context.midiOut, port))
        return ReportPortGone(context, port, "sending the bank",
                              "it is not known whether the synthesizer took it; check its programs");
    if (result.status != BankSendStatus::Completed) {
        context.err << result.error << std::endl;
        return ExitCodeFor(result.status);
    }
    std::vector<CollectionProgramData> bank(BANK_PROGRAMS);
    for (int i = 0; i < BANK_PROGRAMS; ++i)
        std::copy(data.begin() + i * PROGRAM_DATA_SIZE, data.begin() + (i + 1) * PROGRAM_DATA_SIZE,
                  bank[static_cast<std::size_t>(i)].begin());
    NoteSynthBankSent(options, context, bank);
    if (context.interactive)
        context.err << "The synthesizer took the 128 programs of " << FieldText(displayName, false) << std::endl;
    return CLI_EXIT_OK;
}

}  // namespace

int RunSendCommand(const CCliOptions& options, CCliContext& context)
{
    const std::string& path = options.files.front();
    const std::string displayName = DisplayNameForFile(path, true);
    CProgramList programs;
    std::string error;
    if (!programs.ReadSyxFile(path, error, displayName)) {
        context.err << "Failed to parse Syx file " << FieldText(displayName, false) << ". " << error << std::endl;
        return CLI_EXIT_FILE;
    }
    if (programs.GetSize() == 1)
        return SendToEditBuffer(*programs.GetAt(0), options, context);
    if (programs.GetSize() != BANK_PROGRAMS) {
        context.err << FieldText(displayName, false) << " holds " << programs.GetSize()
                    << " programs; only one program or a bank of 128 can be sent" << std::endl;
        return CLI_EXIT_FILE;
    }
    if (!options.yes) {
        context.err << "Sending " << FieldText(path, false)
                    << " would replace all 128 programs in the synthesizer's memory (A001 to H016);"
                       " run again with --yes to do it"
                    << std::endl;
        return CLI_EXIT_USAGE;
    }
    return SendToMemory(programs, displayName, options, context);
}
