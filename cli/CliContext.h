#pragma once
#include "DumpReceiver.h"
#include "FindSynthesizer.h"
#include "ProgramWrite.h"
#include "SendBank.h"

#include <atomic>
#include <ostream>
#include <string>

class IMidiInService;
class IMidiOutService;

// What the commands work with: the MIDI services, the output streams, and the few facts of
// the environment they depend on. main() fills it from the real system; tests with doubles.
struct CCliContext
{
    IMidiOutService& midiOut;
    IMidiInService& midiIn;
    std::ostream& out;                          // results (stdout)
    std::ostream& err;                          // errors and progress (stderr)
    bool interactive = false;                   // stderr is a terminal: show progress and a closing line
    std::string settingsPath;                   // the window's settings file, for its stored port
    const std::atomic<bool>* cancel = nullptr;  // set when the user interrupts (Ctrl+C)
    CReceiveTimeouts timeouts;                  // the synthesizer's time to answer
    unsigned int wireBytesPerSecond = MIDI_WIRE_BYTES_PER_SECOND;  // a bank's pace (0 in tests: none)
    std::string collectionPath;                 // the Collection without --collection (empty: its default place)
    unsigned int findListenMs = FIND_SYNTH_LISTEN_MS;   // detect: how long the answers are listened for
    unsigned int writeAnswerMs = SLOT_WRITE_ANSWER_MS;  // write: the wait for each answer
};
