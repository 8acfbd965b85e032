#pragma once
#include <string>
#include <vector>

enum class CliCommand { Help, Version, Ports, List, Receive, Send };

// What `receive` asks the synthesizer for.
enum class CliReceiveWhat { None, CurrentProgram, AllPrograms, AllData };

constexpr int CLI_DEFAULT_CHANNEL = 1;

// The command line, parsed. Channels are as the user writes them, 1 to 16.
struct CCliOptions
{
    CliCommand command = CliCommand::Help;
    std::vector<std::string> files;     // list: every file; send: the one file
    std::string port;                   // --port NAME, when portGiven
    bool portGiven = false;
    int channel = CLI_DEFAULT_CHANNEL;  // --channel N
    CliReceiveWhat what = CliReceiveWhat::None;
    std::string output;                 // receive: -o FILE
    bool yes = false;                   // send: --yes
};

// Parses the arguments after the program's name. Returns true with `options` filled, or
// false with a one-line `error` for the user (a usage error). "--help" or "-h" anywhere
// gives the Help command, else "--version" anywhere the Version command.
bool ParseCliArguments(const std::vector<std::string>& args, CCliOptions& options, std::string& error);

// The text --help prints.
std::string CliHelpText();

// The line --version prints: the program's name and the release.
std::string CliVersionText();
