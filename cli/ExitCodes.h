#pragma once

// What veltrix-cli returns; scripts rely on these values (see --help and docs/veltrix-cli.md).
enum CliExitCode : int {
    CLI_EXIT_OK = 0,
    CLI_EXIT_FILE = 1,          // a file could not be read, is not a valid dump, or could not be written
    CLI_EXIT_DIFFERENT = 1,     // compare: the two programs differ (as cmp says it)
    CLI_EXIT_USAGE = 2,         // bad arguments, a port, source, list or program that is not there, a bank send without --yes
    CLI_EXIT_NO_ANSWER = 3,     // the synthesizer did not answer in time
    CLI_EXIT_BAD_ANSWER = 4,    // the answer is not a whole, valid dump of the requested kind
    CLI_EXIT_LOAD_ERROR = 5,    // the synthesizer reported a data load error
    CLI_EXIT_MIDI = 6,          // the MIDI port could not be opened, read or written
    CLI_EXIT_COLLECTION = 7,    // the Collection could not be opened or changed (locked, read-only, disk full)
    CLI_EXIT_INTERRUPTED = 130, // stopped by Ctrl+C (or SIGTERM) before the end
};
