// veltrix-cli: lists dump files and the MIDI ports, receives dumps from the synthesizer and
// sends it programs, and reaches the Collection, for scripts and backups. See CliHelp.cpp for the contract.
#include "AlsaMidiInService.h"
#include "AlsaMidiOutService.h"
#include "Cli.h"
#include "CliContext.h"
#include "Collection.h"
#include "Interruption.h"
#include "WindowSettings.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {

std::atomic<bool> g_interrupted{false};

}  // namespace

int main(int argc, char** argv)
{
    InstallInterruptHandlers(g_interrupted);
    std::signal(SIGPIPE, SIG_IGN);

    CAlsaMidiOutService midiOut;
    CAlsaMidiInService midiIn(midiOut);
    CCliContext context{midiOut, midiIn, std::cout, std::cerr, false, std::string(), nullptr, CReceiveTimeouts(),
                        MIDI_WIRE_BYTES_PER_SECOND, std::string()};
    context.interactive = isatty(STDERR_FILENO) == 1;
    context.settingsPath = WindowSettingsPath();
    context.collectionPath = CCollection::DefaultPath();
    context.cancel = &g_interrupted;
    return RunCli(std::vector<std::string>(argv + 1, argv + argc), context);
}
