// show and compare: a program's parameters, and two programs parameter by parameter.
#include "ParameterCommands.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "ParameterOutput.h"
#include "ProgramSource.h"
#include "TextOutput.h"

namespace {

// compare reports differences with 1, as cmp does, so its troubles are usage errors.
int CompareExitCode(ProgramLookup lookup)
{
    return lookup == ProgramLookup::NoCollection ? CLI_EXIT_COLLECTION : CLI_EXIT_USAGE;
}

int ShowExitCode(ProgramLookup lookup)
{
    switch (lookup) {
    case ProgramLookup::BadFile: return CLI_EXIT_FILE;
    case ProgramLookup::NoCollection: return CLI_EXIT_COLLECTION;
    default: return CLI_EXIT_USAGE;
    }
}

void Complain(CCliContext& context, const std::string& error)
{
    context.out << std::flush;
    if (!error.empty())
        context.err << error << std::endl;
}

std::string VoiceModeText(const unsigned char* data)
{
    const CParameter* mode = FindParameter(ParamSection::Common, "Voice Mode");
    return std::string(ShownText(*mode, data));
}

}  // namespace

int RunShowCommand(const CCliOptions& options, CCliContext& context)
{
    const SynthModel model = CliSynthModel(options, context);
    CProgramFinder finder(options, context);
    CCliProgram program;
    std::string error;
    ProgramLookup found = ProgramLookup::Found;
    if (options.programId != 0) {
        found = finder.FromId(options.programId, program, error);
    } else {
        int slot = -1;
        if (!options.slot.empty())
            ParseSlotName(options.slot, slot);
        found = finder.FromFile(options.files[0], slot, "with --slot A05", program, error);
    }
    if (found != ProgramLookup::Found) {
        Complain(context, error);
        return ShowExitCode(found);
    }
    std::vector<CShownParameter> shown;
    ShowParameters(program.data.data(), model, options.allParameters, shown);
    if (options.json)
        WriteShownJson(context.out, shown, program.data.data());
    else
        WriteShownLines(context.out, shown);
    context.out << std::flush;
    return CLI_EXIT_OK;
}

int RunCompareCommand(const CCliOptions& options, CCliContext& context)
{
    const SynthModel model = CliSynthModel(options, context);
    CProgramFinder finder(options, context);
    CCliProgram first, second;
    std::string error;
    for (CCliProgram* program : {&first, &second}) {
        const ProgramLookup found =
            finder.FromArgument(options.files[program == &first ? 0 : 1], *program, error);
        if (found != ProgramLookup::Found) {
            Complain(context, error);
            return CompareExitCode(found);
        }
    }
    const CProgramComparison comparison = CompareParameters(first.data.data(), second.data.data(), model);
    if (comparison.voiceModeDiffers)
        context.err << "The voice modes differ (" << VoiceModeText(first.data.data()) << " and "
                    << VoiceModeText(second.data.data()) << "): only the parameters both programs have are compared"
                    << std::endl;
    if (options.json)
        WriteDifferenceJson(context.out, comparison, first.data.data(), second.data.data());
    else
        WriteDifferenceLines(context.out, comparison, "");
    context.out << std::flush;
    return comparison.differences.empty() ? CLI_EXIT_OK : CLI_EXIT_DIFFERENT;
}
