#include "CommandPort.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "PortChoice.h"
#include "TextOutput.h"
#include "WindowSettings.h"

int PickCommandPort(const CCliOptions& options, CCliContext& context, bool needsInput, const std::string& purpose,
                    CCliPort& port)
{
    const std::vector<CCliPort> ports = ListMidiPorts(context.midiOut);
    const CStoredPort stored = options.portGiven ? CStoredPort() : ReadStoredPort(context.settingsPath);
    std::string error;
    if (!ChoosePort(ports, options.portGiven, options.port, stored, port, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_USAGE;
    }
    if (needsInput && !port.canRead) {
        context.err << "The MIDI port \"" << FieldText(port.name, false)
                    << "\" can only be written, so veltrix-cli cannot " << purpose
                    << " through it; choose a port that \"veltrix-cli ports\" lists as in/out" << std::endl;
        return CLI_EXIT_USAGE;
    }
    return 0;
}

bool PortWentAway(IMidiOutService& service, const CCliPort& port)
{
    return FindSamePort(ListMidiPorts(service), port.address, port.productName) < 0;
}

int ReportPortGone(CCliContext& context, const CCliPort& port, const std::string& doing,
                   const std::string& consequence)
{
    context.err << "The MIDI port \"" << FieldText(port.name, false) << "\" went away (unplugged or switched off) while "
                << doing << "; " << consequence << std::endl;
    return CLI_EXIT_MIDI;
}
