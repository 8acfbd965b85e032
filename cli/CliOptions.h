#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class CliCommand {
    Help, Version, Ports, List, Receive, Send, Import, Search, Sources, Export, Diff, Mark, Detect, Write, Show,
    Compare, Check
};

// What `receive` asks the synthesizer for.
enum class CliReceiveWhat { None, CurrentProgram, AllPrograms, AllData };

// What `mark` does to its programs.
enum class CliMark { None, Favourite, NoFavourite, Hide, Unhide, Tag, Untag, Rename };

constexpr int CLI_DEFAULT_CHANNEL = 1;

// The command line, parsed. Channels are as the user writes them, 1 to 16.
struct CCliOptions
{
    CliCommand command = CliCommand::Help;
    std::vector<std::string> files;     // list, import: every path; send, write: the one file; diff: the two sources
    std::string port;                   // --port NAME, when portGiven
    bool portGiven = false;
    int channel = CLI_DEFAULT_CHANNEL;  // --channel N
    CliReceiveWhat what = CliReceiveWhat::None;
    std::string output;                 // receive, export: -o PATH
    bool yes = false;                   // send, write: --yes

    std::string collection;             // --collection FILE; empty: the default database
    bool noCollection = false;          // receive: --no-collection

    // search
    std::string text;                   // the name fragment (the words given, joined by blanks)
    std::string voiceMode;              // --mode, spelled as the grid shows it
    std::string tag;                    // --tag TAG (mark: --tag/--untag TAG)
    bool favourites = false;            // --favourite
    bool hidden = false;                // --hidden
    std::string source;                 // --source SOURCE (search, export)

    // export, mark
    std::string list;                   // export: --list NAME
    std::vector<std::int64_t> ids;      // program ids
    CliMark mark = CliMark::None;
    std::string newName;                // mark: --rename NAME

    // show, compare, diff --params
    std::string slot;                   // show, write: --slot A01; empty for none
    std::int64_t programId = 0;         // show: --id N; 0 for none
    bool allParameters = false;         // show: --all
    bool json = false;                  // detect, show, compare: --json
    bool parameters = false;            // diff: --params
    std::string model;                  // --model: "ms2000" or "microkorg"; empty: the window's setting
};

// Parses the arguments after the program's name. Returns true with `options` filled, or
// false with a one-line `error` for the user (a usage error). "--help" or "-h" anywhere
// gives the Help command, else "--version" anywhere the Version command.
bool ParseCliArguments(const std::vector<std::string>& args, CCliOptions& options, std::string& error);

// The text --help prints.
std::string CliHelpText();

// The line --version prints: the program's name and the release.
std::string CliVersionText();
