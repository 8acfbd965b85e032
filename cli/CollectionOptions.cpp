// The options of the commands that work on the Collection: import, search, sources, export,
// diff, mark, backup, restore and merge.
#include "CliArguments.h"
#include "CliCollection.h"
#include "Collection.h"
#include "TextOutput.h"

#include <cctype>
#include <cstdint>

namespace {

bool SameLetters(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool ParseVoiceMode(const std::string& text, std::string& mode)
{
    for (const char* name : {"Single", "Split", "Dual", "Vocoder"})
        if (SameLetters(text, name)) {
            mode = name;
            return true;
        }
    return false;
}

// What the synthesizer can show in a name: 1 to 12 printable ASCII characters.
bool IsProgramName(const std::string& name)
{
    if (name.empty() || name.size() > 12)
        return false;
    for (char c : name)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

bool SetMark(CCliOptions& options, CliMark mark, std::string& error)
{
    if (options.mark != CliMark::None && options.mark != mark) {
        error = "Choose one of --favourite, --no-favourite, --hide, --unhide, --tag, --untag and --rename";
        return false;
    }
    options.mark = mark;
    return true;
}

// A value that must not be empty, for the option `name`.
bool TakeText(const std::vector<std::string>& args, size_t& i, const std::string& name, const std::string& what,
              std::string& value, std::string& error)
{
    if (!TakeValue(args, i, name, value, error))
        return false;
    if (value.empty()) {
        error = name + " needs " + what + CLI_TRY_HELP;
        return false;
    }
    return true;
}

}  // namespace

bool IsCollectionCommand(CliCommand command)
{
    switch (command) {
    case CliCommand::Import:
    case CliCommand::Search:
    case CliCommand::Sources:
    case CliCommand::Export:
    case CliCommand::Diff:
    case CliCommand::Mark:
    case CliCommand::Check:
    case CliCommand::Backup:
    case CliCommand::Restore:
    case CliCommand::Merge: return true;
    default: return false;
    }
}

bool ApplyCollectionOption(const std::vector<std::string>& args, size_t& i, CCliOptions& options, bool& known,
                           std::string& error)
{
    const std::string& arg = args[i];
    const CliCommand command = options.command;
    std::string value;
    known = true;
    if (command == CliCommand::Search && OptionIs(arg, "--mode")) {
        if (!TakeValue(args, i, "--mode", value, error))
            return false;
        if (!ParseVoiceMode(value, options.voiceMode)) {
            error = "--mode must be Single, Split, Dual or Vocoder, not \"" + ShownArgument(value) + "\"";
            return false;
        }
    } else if (command == CliCommand::Search && OptionIs(arg, "--tag")) {
        return TakeText(args, i, "--tag", "a tag", options.tag, error);
    } else if (command == CliCommand::Search && (arg == "--favourite" || arg == "--favorite")) {
        options.favourites = true;
    } else if (command == CliCommand::Search && arg == "--hidden") {
        options.hidden = true;
    } else if ((command == CliCommand::Search || command == CliCommand::Export) && OptionIs(arg, "--source")) {
        return TakeText(args, i, "--source", "a source, as veltrix-cli sources lists it", options.source, error);
    } else if (command == CliCommand::Export && OptionIs(arg, "--list")) {
        return TakeText(args, i, "--list", "a list's name", options.list, error);
    } else if (command == CliCommand::Export && (OptionIs(arg, "-o") || OptionIs(arg, "--output"))) {
        return TakeText(args, i, OptionIs(arg, "-o") ? "-o" : "--output", "a file or folder name", options.output,
                        error);
    } else if (command == CliCommand::Mark && (arg == "--favourite" || arg == "--favorite")) {
        return SetMark(options, CliMark::Favourite, error);
    } else if (command == CliCommand::Mark && (arg == "--no-favourite" || arg == "--no-favorite")) {
        return SetMark(options, CliMark::NoFavourite, error);
    } else if (command == CliCommand::Mark && arg == "--hide") {
        return SetMark(options, CliMark::Hide, error);
    } else if (command == CliCommand::Mark && arg == "--unhide") {
        return SetMark(options, CliMark::Unhide, error);
    } else if (command == CliCommand::Mark && (OptionIs(arg, "--tag") || OptionIs(arg, "--untag"))) {
        const bool add = OptionIs(arg, "--tag");
        if (!TakeText(args, i, add ? "--tag" : "--untag", "a tag", options.tag, error))
            return false;
        std::string why;
        if (add && !CCollection::CheckTag(options.tag, why)) {
            error = "--tag cannot be \"" + options.tag + "\": " + why;
            return false;
        }
        return SetMark(options, add ? CliMark::Tag : CliMark::Untag, error);
    } else if (command == CliCommand::Mark && OptionIs(arg, "--rename")) {
        if (!TakeValue(args, i, "--rename", options.newName, error))
            return false;
        std::string why;
        if (!IsProgramName(options.newName) || !CCollection::CheckName(options.newName, why)) {
            error = "--rename needs a name of 1 to 12 characters the synthesizer can show (printable ASCII), not \"" +
                    ShownArgument(options.newName) + "\"";
            return false;
        }
        return SetMark(options, CliMark::Rename, error);
    } else {
        known = false;
    }
    return true;
}

bool CheckCollectionCommand(CCliOptions& options, std::string& error)
{
    switch (options.command) {
    case CliCommand::Import:
        if (options.files.empty()) {
            error = std::string("import needs at least one file or folder") + CLI_TRY_HELP;
            return false;
        }
        return true;
    case CliCommand::Search:
        for (const std::string& word : options.files)
            options.text += (options.text.empty() ? "" : " ") + word;
        options.files.clear();
        return true;
    case CliCommand::Sources:
    case CliCommand::Check:
        if (!options.files.empty()) {
            error = std::string(CliCommandWord(options.command)) + " takes no argument; unexpected \""
                + ShownArgument(options.files[0]) + "\"";
            return false;
        }
        return true;
    case CliCommand::Diff:
        if (options.files.size() != 2) {
            error = std::string("diff needs two sources, as veltrix-cli sources lists them") + CLI_TRY_HELP;
            return false;
        }
        return true;
    case CliCommand::Backup:
    case CliCommand::Restore:
    case CliCommand::Merge:
        if (options.files.size() != 1) {
            error = std::string(CliCommandWord(options.command)) + " needs one file"
                + (options.command == CliCommand::Backup    ? " (or folder) to write"
                   : options.command == CliCommand::Restore ? ", a backup of the Collection"
                                                            : ", another Collection")
                + CLI_TRY_HELP;
            return false;
        }
        return true;
    case CliCommand::Export:
    case CliCommand::Mark:
        break;
    default:
        return true;
    }

    for (const std::string& word : options.files) {
        std::int64_t id = 0;
        if (!ParseCollectionId(word, id)) {
            error = "\"" + ShownArgument(word) + "\" is not a program id (veltrix-cli search lists them)";
            return false;
        }
        options.ids.push_back(id);
    }
    options.files.clear();

    if (options.command == CliCommand::Mark) {
        if (options.ids.empty()) {
            error = std::string("mark needs at least one program id") + CLI_TRY_HELP;
            return false;
        }
        if (options.mark == CliMark::None) {
            error = std::string("mark needs one of --favourite, --no-favourite, --hide, --unhide, --tag, --untag "
                                "and --rename") + CLI_TRY_HELP;
            return false;
        }
        return true;
    }
    const int chosen = (options.source.empty() ? 0 : 1) + (options.list.empty() ? 0 : 1) + (options.ids.empty() ? 0 : 1);
    if (chosen != 1) {
        error = std::string("export needs one of --source SOURCE, --list NAME or program ids") + CLI_TRY_HELP;
        return false;
    }
    if (options.output.empty()) {
        error = std::string("export needs -o PATH, where to write") + CLI_TRY_HELP;
        return false;
    }
    return true;
}
