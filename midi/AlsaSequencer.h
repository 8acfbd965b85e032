#pragma once
// What the ALSA backends share: opening the sequencer, and the texts of the error codes
// that are not a backend's own.

#include <alsa/asoundlib.h>

#include <string>

// Opens the sequencer for `streams` (SND_SEQ_OPEN_INPUT / _OUTPUT) in `mode` (0 or
// SND_SEQ_NONBLOCK). Returns 0, `noSequencerCode` when /dev/snd/seq is missing, or ALSA's
// own (negative) code.
int OpenAlsaSequencer(snd_seq_t** seq, int streams, int mode, int noSequencerCode);

// The text of a code every backend may give: 0, `noSequencerCode`, ALSA's negative codes;
// any other code is an unknown error of `what` ("output", "input").
std::string AlsaErrorText(int code, int noSequencerCode, const std::string& what);
