#pragma once
#include "PortWatcher.h"


// A port watcher for tests: Announce() stands for the sequencer's news that ports came or
// went; its descriptor (an eventfd) is readable until ReadChanges takes the news.
class CTestPortWatcher : public IMidiPortWatcher
{
public:
    CTestPortWatcher();
    ~CTestPortWatcher() override;
    CTestPortWatcher(const CTestPortWatcher&) = delete;
    CTestPortWatcher& operator=(const CTestPortWatcher&) = delete;

    void Announce();

    std::vector<pollfd> GetPollDescriptors() override;
    bool ReadChanges() override;

private:
    int m_fd = -1;
};
