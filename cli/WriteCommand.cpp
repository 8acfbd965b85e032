#include "MidiCommands.h"

#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "CommandPort.h"
#include "ExitCodes.h"
#include "FileDisplayName.h"
#include "MidiConnection.h"
#include "MidiTexts.h"
#include "ProgramList.h"
#include "ProgramSource.h"
#include "ProgramWrite.h"
#include "SyxProgram.h"
#include "TextOutput.h"

namespace {

std::string Quoted(const std::string& name)
{
    return "\"" + FieldText(name, true) + "\"";
}

// The name of the program the Collection knows in `slot` of the synthesizer, or empty.
std::string KnownProgramIn(const CCliOptions& options, CCliContext& context, int slot)
{
    std::string error, notice;
    std::unique_ptr<CCollection> collection = CCollection::Open(CliCollectionPath(options, context), error, notice);
    CKnownSynthMemory memory;
    if (!collection || !collection->KnownSynthMemory(memory, error) || !memory.IsKnown())
        return std::string();
    const CollectionProgramData& data = memory.programs[static_cast<std::size_t>(slot)];
    return CSyxProgram('A', 1, data.data(), PROGRAM_DATA_SIZE, std::string()).GetName();
}

int ExitCodeFor(SlotWriteStatus status)
{
    switch (status) {
    case SlotWriteStatus::Written: return CLI_EXIT_OK;
    case SlotWriteStatus::Refused: return CLI_EXIT_LOAD_ERROR;
    case SlotWriteStatus::NoAnswer: return CLI_EXIT_NO_ANSWER;
    case SlotWriteStatus::Cancelled: return CLI_EXIT_INTERRUPTED;
    case SlotWriteStatus::MidiError: return CLI_EXIT_MIDI;
    }
    return CLI_EXIT_MIDI;
}

}  // namespace

int RunWriteCommand(const CCliOptions& options, CCliContext& context)
{
    const std::string& path = options.files.front();
    const std::string displayName = DisplayNameForFile(path, true);
    CProgramList programs;
    std::string error;
    if (!programs.ReadSyxFile(path, error, displayName)) {
        context.err << "Failed to parse Syx file " << FieldText(displayName, false) << ". " << error << std::endl;
        return CLI_EXIT_FILE;
    }
    if (programs.GetSize() != 1 || programs.GetAt(0)->GetLength() != PROGRAM_DATA_SIZE) {
        context.err << FieldText(displayName, false) << " holds " << programs.GetSize()
                    << " programs; write takes a file of one program" << std::endl;
        return CLI_EXIT_FILE;
    }
    const CSyxProgram& program = *programs.GetAt(0);
    int slotIndex = 0;
    if (!ParseSlotName(options.slot, slotIndex)) {   // checked when the options were read
        context.err << "--slot must be a slot from A01 to H16" << std::endl;
        return CLI_EXIT_USAGE;
    }
    const std::string slot = SlotLabel(slotIndex);
    if (!options.yes) {
        const std::string replaced = KnownProgramIn(options, context, slotIndex);
        context.err << "Writing " << Quoted(program.GetName()) << " to " << slot << " would replace "
                    << (replaced.empty() ? std::string("the program") : Quoted(replaced))
                    << " in the synthesizer's memory; run again with --yes to do it" << std::endl;
        return CLI_EXIT_USAGE;
    }

    CCliPort port;
    if (const int code = PickCommandPort(options, context, true, "wait for the synthesizer's answer", port))
        return code;
    CMidiConnection midi(context.midiOut, context.midiIn);
    if (!midi.Open(port, true, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_MIDI;
    }
    const CSlotWriteResult result =
        WriteProgramToSlot(context.midiOut, midi.Out(), midi.Done(), context.midiIn, midi.In(), program.GetData(),
                           program.GetLength(), slotIndex, options.channel - 1, context.cancel,
                           context.writeAnswerMs);
    if (result.status != SlotWriteStatus::Written && result.status != SlotWriteStatus::Cancelled &&
        PortWentAway(context.midiOut, port))
        return ReportPortGone(context, port, "writing " + slot, "it is not known what the slot holds now");
    switch (result.status) {
    case SlotWriteStatus::Written:
        NoteSynthSlotWritten(options, context, slotIndex, program.GetData());
        if (context.interactive)
            context.err << result.text << " on \"" << port.name << "\", channel " << options.channel << ": "
                        << Quoted(program.GetName()) << std::endl;
        break;
    case SlotWriteStatus::NoAnswer:
        context.err << result.text << " (within " << FormatSeconds(context.writeAnswerMs)
                    << "; check both MIDI cables and that its global MIDI channel is " << options.channel
                    << "); it is not known what " << slot << " holds now" << std::endl;
        break;
    default:
        context.err << result.text << std::endl;
        break;
    }
    return ExitCodeFor(result.status);
}
