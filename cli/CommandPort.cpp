#include "CommandPort.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "PortChoice.h"
#include "WindowSettings.h"

int PickCommandPort(const CCliOptions& options, CCliContext& context, bool needsInput, const std::string& purpose,
                    CCliPort& port)
{
    const std::vector<CCliPort> ports = ListHardwarePorts(context.midiOut);
    const std::string stored = options.portGiven ? std::string() : ReadStoredPortName(context.settingsPath);
    std::string error;
    if (!ChoosePort(ports, options.portGiven, options.port, stored, port, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_USAGE;
    }
    if (needsInput && !port.canRead) {
        context.err << "The MIDI port \"" << port.name << "\" can only be written, so veltrix-cli cannot " << purpose
                    << " through it; choose a port that \"veltrix-cli ports\" lists as in/out" << std::endl;
        return CLI_EXIT_USAGE;
    }
    return 0;
}
