#pragma once
#include <string>

struct CCliContext;
struct CCliOptions;
struct CCliPort;

// The port a MIDI command uses (--port, else the window's stored port, else the first).
// When the command must hear the synthesizer (`needsInput`), a port that can only be
// written is refused, naming `purpose` ("receive", "wait for the synthesizer's answer").
// Returns 0, or the exit code after telling the user why on stderr.
int PickCommandPort(const CCliOptions& options, CCliContext& context, bool needsInput, const std::string& purpose,
                    CCliPort& port);
