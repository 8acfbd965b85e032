#pragma once
// The option parser's shared pieces: CliOptions.cpp parses the command line and the options
// of the MIDI commands, CollectionOptions.cpp those of the commands on the Collection,
// ParameterOptions.cpp those of show and compare.
#include "CliOptions.h"

#include <string>
#include <vector>

extern const char* const CLI_TRY_HELP;   // " (veltrix-cli --help tells more)"

// The word the user types for `command`.
const char* CliCommandWord(CliCommand command);

// True when `arg` is the option `name`, alone or as "name=VALUE".
bool OptionIs(const std::string& arg, const std::string& name);

// Reads the value of an option given as "--name VALUE" or "--name=VALUE".
bool TakeValue(const std::vector<std::string>& args, size_t& i, const std::string& name, std::string& value,
               std::string& error);

bool IsCollectionCommand(CliCommand command);

// An option of import, search, sources, export, diff or mark. `known` is false when `arg` is
// none of theirs; else the result says whether it was valid (`error` tells why not).
bool ApplyCollectionOption(const std::vector<std::string>& args, size_t& i, CCliOptions& options, bool& known,
                           std::string& error);

// The checks after the whole line is read: required parts, program ids, search words.
bool CheckCollectionCommand(CCliOptions& options, std::string& error);

// The options of show and compare, and diff's --params and --model (ParameterOptions.cpp).
bool TakesParameterOption(CliCommand command, const std::string& arg);
bool ApplyParameterOption(const std::vector<std::string>& args, size_t& i, CCliOptions& options, std::string& error);
// The checks of show and compare after the whole line is read.
bool CheckParameterCommand(const CCliOptions& options, std::string& error);
