#include "PortsCommand.h"

#include "ExitCodes.h"
#include "PortChoice.h"
#include "TextOutput.h"

int RunPortsCommand(IMidiOutService& service, std::ostream& out, std::ostream& err)
{
    const std::vector<CCliPort> ports = ListMidiPorts(service);
    // Every listed port can be written (it is an output device); "in/out" when it can also be read.
    for (const CCliPort& port : ports)
        out << FieldText(port.name, false) << '\t' << (port.canRead ? "in/out" : "out") << '\n';
    out << std::flush;
    if (ports.empty())
        err << "No hardware MIDI port is connected" << std::endl;
    return CLI_EXIT_OK;
}
