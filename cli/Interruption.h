#pragma once
#include <atomic>

// How veltrix-cli meets an interruption. Ctrl+C, SIGTERM and SIGHUP (the terminal closed) set
// `interrupted`, which a receive or send looks at to stop cleanly: its temporary file is
// removed, the port closed, and the program ends with 130. A second one before that, or
// SIGQUIT, ends the program at once, after removing the temporary file a receive may have;
// an earlier FILE stays as it was either way.
void InstallInterruptHandlers(std::atomic<bool>& interrupted);
