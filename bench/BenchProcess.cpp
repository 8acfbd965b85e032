#include "BenchProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

extern char** environ;

CProcessRun RunProcess(const std::vector<std::string>& arguments, const std::string& output)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    CProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        posix_spawn_file_actions_destroy(&actions);
        return run;
    }
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

double PeakMegabytesOf(const std::string& peakMemoryProgram, const std::vector<std::string>& arguments,
                       const std::string& resultFile)
{
    std::vector<std::string> through{peakMemoryProgram, resultFile};
    through.insert(through.end(), arguments.begin(), arguments.end());
    if (RunProcess(through).exitCode != 0)
        return -1;
    std::FILE* result = std::fopen(resultFile.c_str(), "r");
    long kilobytes = -1;
    if (result == nullptr || std::fscanf(result, "%ld", &kilobytes) != 1)
        kilobytes = -1;
    if (result != nullptr)
        std::fclose(result);
    return kilobytes < 0 ? -1 : static_cast<double>(kilobytes) / 1024.0;
}

CBackgroundProcess::CBackgroundProcess(int (*work)(void* context), void* context)
{
    std::fflush(nullptr);
    m_pid = fork();
    if (m_pid == 0)
        _exit(work(context));
}

CBackgroundProcess::~CBackgroundProcess()
{
    Stop();
}

int CBackgroundProcess::Stop()
{
    if (m_pid <= 0)
        return -1;
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
