#include "TestPortWatcher.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

CTestPortWatcher::CTestPortWatcher() : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

CTestPortWatcher::~CTestPortWatcher()
{
    close(m_fd);
}

void CTestPortWatcher::Announce()
{
    const std::uint64_t one = 1;
    (void)!write(m_fd, &one, sizeof one);
}

std::vector<pollfd> CTestPortWatcher::GetPollDescriptors()
{
    return {pollfd{m_fd, POLLIN, 0}};
}

bool CTestPortWatcher::ReadChanges()
{
    std::uint64_t count = 0;
    return read(m_fd, &count, sizeof count) == static_cast<ssize_t>(sizeof count) && count > 0;
}
