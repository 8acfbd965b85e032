#include "AlsaSequencer.h"

#include <cerrno>

int OpenAlsaSequencer(snd_seq_t** seq, int streams, int mode, int noSequencerCode)
{
    const int rc = snd_seq_open(seq, "default", streams, mode);
    return rc == -ENOENT ? noSequencerCode : rc;
}

std::string AlsaErrorText(int code, int noSequencerCode, const std::string& what)
{
    if (code == 0)
        return "The MIDI operation succeeded.";
    if (code == noSequencerCode)
        return "No ALSA sequencer is available on this computer (/dev/snd/seq is missing).";
    if (code < 0)
        return std::string("The ALSA sequencer reported: ") + snd_strerror(code) + ".";
    return "Unknown MIDI " + what + " error " + std::to_string(code) + ".";
}
