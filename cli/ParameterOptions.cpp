// The options of show and compare, and those diff takes to list parameters.
#include "CliArguments.h"
#include "CliCollection.h"
#include "ProgramSource.h"
#include "TextOutput.h"

#include <cctype>

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool TakesParameterOption(CliCommand command, const std::string& arg)
{
    const bool show = command == CliCommand::Show;
    const bool compare = command == CliCommand::Compare;
    const bool diff = command == CliCommand::Diff;
    if (OptionIs(arg, "--model"))
        return show || compare || diff;
    if (arg == "--json")
        return show || compare;
    if (OptionIs(arg, "--slot") || OptionIs(arg, "--id") || arg == "--all")
        return show;
    return diff && arg == "--params";
}

bool ApplyParameterOption(const std::vector<std::string>& args, size_t& i, CCliOptions& options, std::string& error)
{
    const std::string& arg = args[i];
    std::string value;
    if (OptionIs(arg, "--model")) {
        if (!TakeValue(args, i, "--model", value, error))
            return false;
        if (!IsModelName(Lower(value))) {
            error = "--model must be ms2000 or microkorg, not \"" + ShownArgument(value) + "\"";
            return false;
        }
        options.model = Lower(value);
    } else if (arg == "--json") {
        options.json = true;
    } else if (arg == "--all") {
        options.allParameters = true;
    } else if (arg == "--params") {
        options.parameters = true;
    } else if (OptionIs(arg, "--slot")) {
        int slot = 0;
        if (!TakeValue(args, i, "--slot", value, error))
            return false;
        if (!ParseSlotName(value, slot)) {
            error = "--slot must be a slot from A01 to H16, not \"" + ShownArgument(value) + "\"";
            return false;
        }
        options.slot = value;
    } else if (OptionIs(arg, "--id")) {
        if (!TakeValue(args, i, "--id", value, error))
            return false;
        if (!ParseCollectionId(value, options.programId)) {
            error = "--id needs a program ID, as veltrix-cli search lists them, not \"" + ShownArgument(value) + "\"";
            return false;
        }
    }
    return true;
}

bool CheckParameterCommand(const CCliOptions& options, std::string& error)
{
    if (options.command == CliCommand::Compare) {
        if (options.files.size() != 2) {
            error = std::string("compare needs two programs, each FILE, FILE:A05 or id:N") + CLI_TRY_HELP;
            return false;
        }
        return true;
    }
    if (options.programId != 0 && !options.files.empty()) {
        error = "show takes a FILE or --id N, not both";
        return false;
    }
    if (options.programId != 0 && !options.slot.empty()) {
        error = "--slot picks a program of a FILE; --id names one already";
        return false;
    }
    if (options.programId == 0 && options.files.size() != 1) {
        error = std::string(options.files.empty() ? "show needs a FILE or --id N" : "show takes one FILE") +
                CLI_TRY_HELP;
        return false;
    }
    return true;
}
