#pragma once
#include "PortWatcher.h"

// ALSA's handle, declared here so that users of the watcher need no ALSA headers.
typedef struct _snd_seq snd_seq_t;

// Watches the ALSA sequencer's System Announce port (0:1): a client of its own is
// connected from it and reads its news of ports that start, exit or change.
// Without a sequencer it has no descriptors and never reports a change.
class CAlsaPortWatcher : public IMidiPortWatcher
{
public:
    CAlsaPortWatcher();
    ~CAlsaPortWatcher() override;
    CAlsaPortWatcher(const CAlsaPortWatcher&) = delete;
    CAlsaPortWatcher& operator=(const CAlsaPortWatcher&) = delete;

    // 0 when watching, else an ALSA error code (-errno).
    int GetStartError() const { return m_startError; }

    std::vector<pollfd> GetPollDescriptors() override;
    bool ReadChanges() override;

private:
    snd_seq_t* m_seq = nullptr;
    int m_startError = 0;
};
