#include "CliOptions.h"

#include "CliArguments.h"
#include "ProgramSource.h"

#include <cstdlib>

const char* const CLI_TRY_HELP = " (veltrix-cli --help tells more)";

namespace {

const char* const TRY_HELP = CLI_TRY_HELP;

bool IsHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

bool ParseChannel(const std::string& text, int& channel)
{
    if (text.empty() || text.size() > 2)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    channel = std::atoi(text.c_str());
    return channel >= 1 && channel <= 16;
}

bool CommandFromWord(const std::string& word, CliCommand& command)
{
    if (word == "ports")
        command = CliCommand::Ports;
    else if (word == "list")
        command = CliCommand::List;
    else if (word == "receive")
        command = CliCommand::Receive;
    else if (word == "send")
        command = CliCommand::Send;
    else if (word == "import")
        command = CliCommand::Import;
    else if (word == "search")
        command = CliCommand::Search;
    else if (word == "sources")
        command = CliCommand::Sources;
    else if (word == "export")
        command = CliCommand::Export;
    else if (word == "diff")
        command = CliCommand::Diff;
    else if (word == "mark")
        command = CliCommand::Mark;
    else if (word == "check")
        command = CliCommand::Check;
    else if (word == "detect")
        command = CliCommand::Detect;
    else if (word == "write")
        command = CliCommand::Write;
    else if (word == "show")
        command = CliCommand::Show;
    else if (word == "compare")
        command = CliCommand::Compare;
    else if (word == "help")
        command = CliCommand::Help;
    else
        return false;
    return true;
}

bool ApplyOption(const std::vector<std::string>& args, size_t& i, CCliOptions& options, std::string& error)
{
    const std::string& arg = args[i];
    const bool midi = options.command == CliCommand::Receive || options.command == CliCommand::Send ||
                      options.command == CliCommand::Write;
    const std::string command = CliCommandWord(options.command);
    std::string value;
    if (OptionIs(arg, "--collection")) {
        if (!TakeValue(args, i, "--collection", value, error))
            return false;
        if (value.empty()) {
            error = "--collection needs a file name" + std::string(TRY_HELP);
            return false;
        }
        options.collection = value;
    } else if (midi && OptionIs(arg, "--port")) {
        if (!TakeValue(args, i, "--port", value, error))
            return false;
        if (value.empty()) {
            error = "--port needs a port name" + std::string(TRY_HELP);
            return false;
        }
        options.port = value;
        options.portGiven = true;
    } else if (midi && OptionIs(arg, "--channel")) {
        if (!TakeValue(args, i, "--channel", value, error))
            return false;
        if (!ParseChannel(value, options.channel)) {
            error = "--channel must be a number from 1 to 16, not \"" + value + "\"";
            return false;
        }
    } else if (options.command == CliCommand::Receive && (arg == "--current" || arg == "--programs" || arg == "--all")) {
        const CliReceiveWhat what = arg == "--current"    ? CliReceiveWhat::CurrentProgram
                                    : arg == "--programs" ? CliReceiveWhat::AllPrograms
                                                          : CliReceiveWhat::AllData;
        if (options.what != CliReceiveWhat::None && options.what != what) {
            error = "Choose one of --current, --programs and --all";
            return false;
        }
        options.what = what;
    } else if (options.command == CliCommand::Receive && (OptionIs(arg, "-o") || OptionIs(arg, "--output"))) {
        if (!TakeValue(args, i, OptionIs(arg, "-o") ? "-o" : "--output", value, error))
            return false;
        if (value.empty()) {
            error = "-o needs a file name" + std::string(TRY_HELP);
            return false;
        }
        options.output = value;
    } else if (options.command == CliCommand::Receive && arg == "--no-collection") {
        options.noCollection = true;
    } else if ((options.command == CliCommand::Send || options.command == CliCommand::Write) && arg == "--yes") {
        options.yes = true;
    } else if (options.command == CliCommand::Write && OptionIs(arg, "--slot")) {
        int slot = 0;
        if (!TakeValue(args, i, "--slot", value, error))
            return false;
        if (!ParseSlotName(value, slot)) {
            error = "--slot must be a slot from A01 to H16, not \"" + value + "\"";
            return false;
        }
        options.slot = value;
    } else if (options.command == CliCommand::Detect && arg == "--json") {
        options.json = true;
    } else if (TakesParameterOption(options.command, arg)) {
        return ApplyParameterOption(args, i, options, error);
    } else if (IsCollectionCommand(options.command)) {
        bool known = false;
        if (!ApplyCollectionOption(args, i, options, known, error))
            return false;
        if (!known) {
            error = "Unknown option " + arg + " for " + command + std::string(TRY_HELP);
            return false;
        }
    } else {
        error = "Unknown option " + arg + " for " + command + std::string(TRY_HELP);
        return false;
    }
    return true;
}

}  // namespace

const char* CliCommandWord(CliCommand command)
{
    switch (command) {
    case CliCommand::Help: return "help";
    case CliCommand::Version: return "--version";
    case CliCommand::Ports: return "ports";
    case CliCommand::List: return "list";
    case CliCommand::Receive: return "receive";
    case CliCommand::Send: return "send";
    case CliCommand::Import: return "import";
    case CliCommand::Search: return "search";
    case CliCommand::Sources: return "sources";
    case CliCommand::Export: return "export";
    case CliCommand::Diff: return "diff";
    case CliCommand::Mark: return "mark";
    case CliCommand::Check: return "check";
    case CliCommand::Detect: return "detect";
    case CliCommand::Write: return "write";
    case CliCommand::Show: return "show";
    case CliCommand::Compare: return "compare";
    }
    return "";
}

bool TakeValue(const std::vector<std::string>& args, size_t& i, const std::string& name, std::string& value,
               std::string& error)
{
    const std::string& arg = args[i];
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 && arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        error = name + " needs a value" + TRY_HELP;
        return false;
    }
    value = args[++i];
    return true;
}

bool OptionIs(const std::string& arg, const std::string& name)
{
    return arg == name || (arg.size() > name.size() && arg.compare(0, name.size() + 1, name + "=") == 0);
}

bool ParseCliArguments(const std::vector<std::string>& args, CCliOptions& options, std::string& error)
{
    options = CCliOptions();
    bool version = false;
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        if (IsHelp(arg)) {
            options.command = CliCommand::Help;
            return true;
        }
        version = version || arg == "--version";
    }
    if (version) {
        options.command = CliCommand::Version;
        return true;
    }
    if (args.empty()) {
        error = std::string("Say what to do: ports, detect, list, receive, send, write, import, search, sources, "
                            "export, diff, mark, show, compare or check") +
                TRY_HELP;
        return false;
    }
    if (!CommandFromWord(args[0], options.command)) {
        error = "Unknown command \"" + args[0] + "\"" + TRY_HELP;
        return false;
    }
    if (options.command == CliCommand::Help)
        return true;

    bool onlyFiles = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!onlyFiles && arg == "--") {
            onlyFiles = true;
        } else if (!onlyFiles && arg.size() > 1 && arg[0] == '-') {
            if (!ApplyOption(args, i, options, error))
                return false;
        } else {
            options.files.push_back(arg);
        }
    }

    switch (options.command) {
    case CliCommand::Ports:
        if (!options.files.empty()) {
            error = "ports takes no file";
            return false;
        }
        break;
    case CliCommand::List:
        if (options.files.empty()) {
            error = std::string("list needs at least one file") + TRY_HELP;
            return false;
        }
        break;
    case CliCommand::Receive:
        if (options.what == CliReceiveWhat::None) {
            error = std::string("receive needs --current, --programs or --all") + TRY_HELP;
            return false;
        }
        if (options.output.empty()) {
            error = std::string("receive needs -o FILE, the file to write") + TRY_HELP;
            return false;
        }
        if (!options.files.empty()) {
            error = "receive writes only the file given with -o; unexpected \"" + options.files[0] + "\"";
            return false;
        }
        break;
    case CliCommand::Send:
        if (options.files.size() != 1) {
            error = std::string("send needs exactly one file") + TRY_HELP;
            return false;
        }
        break;
    case CliCommand::Detect:
        if (!options.files.empty()) {
            error = "detect takes no file";
            return false;
        }
        break;
    case CliCommand::Write:
        if (options.files.size() != 1) {
            error = std::string("write needs exactly one file") + TRY_HELP;
            return false;
        }
        if (options.slot.empty()) {
            error = std::string("write needs --slot, the slot to write (A01 to H16)") + TRY_HELP;
            return false;
        }
        break;
    case CliCommand::Help:
    case CliCommand::Version:
        break;
    case CliCommand::Show:
    case CliCommand::Compare:
        return CheckParameterCommand(options, error);
    default:
        return CheckCollectionCommand(options, error);
    }
    return true;
}
