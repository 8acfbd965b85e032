#pragma once
#include <ostream>

class IMidiOutService;

// `veltrix-cli ports`: one line per hardware MIDI port, "<name>\t<out|in/out>". Returns 0.
int RunPortsCommand(IMidiOutService& service, std::ostream& out, std::ostream& err);
