#pragma once
#include "PortChoice.h"

#include <string>

class IMidiOutService;
struct CCliContext;
struct CCliOptions;

// The port a MIDI command uses (--port, else the window's stored port, else the first).
// When the command must hear the synthesizer (`needsInput`), a port that can only be
// written is refused, naming `purpose` ("receive", "wait for the synthesizer's answer").
// Returns 0, or the exit code after telling the user why on stderr.
int PickCommandPort(const CCliOptions& options, CCliContext& context, bool needsInput, const std::string& purpose,
                    CCliPort& port);

// True when `port` is no longer connected (unplugged or switched off while a command used it).
bool PortWentAway(IMidiOutService& service, const CCliPort& port);

// Tells the user that `port` went away while `doing` ("receiving", ...), with what it means
// (`consequence`), and returns CLI_EXIT_MIDI.
int ReportPortGone(CCliContext& context, const CCliPort& port, const std::string& doing,
                   const std::string& consequence);
