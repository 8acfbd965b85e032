#include "MidiCommands.h"

#include "AtomicFile.h"
#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "CommandPort.h"
#include "ExitCodes.h"
#include "MidiConnection.h"
#include "PortChoice.h"
#include "ReceiveDump.h"
#include "TextOutput.h"

namespace {

DumpKind KindOf(CliReceiveWhat what)
{
    switch (what) {
    case CliReceiveWhat::CurrentProgram: return DumpKind::CurrentProgram;
    case CliReceiveWhat::AllData: return DumpKind::AllData;
    default: return DumpKind::AllPrograms;
    }
}

int ExitCodeFor(ReceiveStatus status)
{
    switch (status) {
    case ReceiveStatus::Received: return CLI_EXIT_OK;
    case ReceiveStatus::NoAnswer: return CLI_EXIT_NO_ANSWER;
    // An answer that started and broke off is an answer, but not a whole dump.
    case ReceiveStatus::Stalled:
    case ReceiveStatus::WrongAnswer:
    case ReceiveStatus::Invalid: return CLI_EXIT_BAD_ANSWER;
    case ReceiveStatus::Cancelled: return CLI_EXIT_INTERRUPTED;
    case ReceiveStatus::MidiError: return CLI_EXIT_MIDI;
    }
    return CLI_EXIT_MIDI;
}

}  // namespace

int RunReceiveCommand(const CCliOptions& options, CCliContext& context)
{
    std::string error;
    if (WritesOverCollection(CliCollectionPath(options, context), options.output, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_USAGE;
    }
    CCliPort port;
    if (const int code = PickCommandPort(options, context, true, "receive", port))
        return code;

    // The file is prepared first: a folder that cannot be written is found before the wait.
    CAtomicFileWriter file;
    if (!file.Begin(options.output, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_FILE;
    }

    CMidiConnection midi(context.midiOut, context.midiIn);
    if (!midi.Open(port, true, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_MIDI;
    }

    CProgressLine progress(context.err, context.interactive, "Receiving from \"" + FieldText(port.name, false) + "\":");
    CReceiveResult result = ReceiveDump(
        context.midiOut, midi.Out(), context.midiIn, midi.In(), KindOf(options.what), options.channel - 1,
        [&progress](std::size_t received, std::size_t expected) { progress.Update(received, expected); },
        context.cancel, context.timeouts);
    progress.Finish();

    // A port pulled out shows as a read error, or as silence on a backend that cannot tell.
    if (result.status != ReceiveStatus::Received && result.status != ReceiveStatus::Cancelled &&
        PortWentAway(context.midiOut, port))
        return ReportPortGone(context, port, "receiving", "nothing was written");
    if (result.status != ReceiveStatus::Received) {
        context.err << (result.error.empty() ? std::string("Nothing was received") : result.error) << std::endl;
        return ExitCodeFor(result.status);
    }
    if (!file.Commit(result.bytes, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_FILE;
    }
    if (context.interactive)
        context.err << "Wrote " << GroupedNumber(result.bytes.size()) << " bytes to " << ShownArgument(options.output)
                    << std::endl;
    // Only now, with the backup safe on disk: the Collection's troubles never cost it.
    TakeReceivedDumpIn(options, context, result.bytes);
    return CLI_EXIT_OK;
}
