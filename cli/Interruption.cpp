#include "Interruption.h"

#include "AtomicFile.h"

#include <csignal>

namespace {

std::atomic<bool>* g_interrupted = nullptr;

void EndNow(int signal)
{
    RemoveTemporaryFileNow();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void OnInterrupt(int signal)
{
    if (g_interrupted == nullptr || g_interrupted->exchange(true))
        EndNow(signal);
}

}  // namespace

void InstallInterruptHandlers(std::atomic<bool>& interrupted)
{
    g_interrupted = &interrupted;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, OnInterrupt);
    std::signal(SIGQUIT, EndNow);
}
