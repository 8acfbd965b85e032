#pragma once
#include "DeviceInquiry.h"
#include "MidiInService.h"
#include "MidiOutService.h"
#include "MidiPortList.h"

#include <atomic>
#include <string>
#include <vector>

// Finding the synthesizer by itself: the universal device inquiry goes out on every hardware
// port that also has an input, to every channel at once (7F), and the inputs are listened to
// for the identity replies of this family. Each reply names the port it came back on and the
// channel and model it carries.

// The longest the inputs are listened to, counted from the first inquiry sent.
constexpr unsigned int FIND_SYNTH_LISTEN_MS = 1000;
// Once every port asked has answered, how long more answers are waited for (a second
// synthesizer behind the first one's MIDI THRU answers within milliseconds).
constexpr unsigned int FIND_SYNTH_SETTLE_MS = 100;

struct CFoundSynth
{
    CMidiPortItem port;        // where the reply came back
    CSynthIdentity identity;
    std::string model;         // FamilyMemberName of its member code
};

struct CSynthSearch
{
    std::vector<CFoundSynth> found;      // in the order the ports were given, then of arrival
    std::vector<CMidiPortItem> asked;    // the ports the inquiry went out on
    std::vector<std::string> failures;   // "PORT could not be opened: why", ... for each port not usable
    bool cancelled = false;
};

// The ports an inquiry can be answered on: the hardware ports that can also be read, as the
// port list names them (two interfaces of one name stay apart).
std::vector<CMidiPortItem> InquiryPorts(IMidiOutService& out);

// Opens each of `ports` both ways, sends the inquiry on each, and collects the replies for up
// to listenMs (less once every port has answered, see FIND_SYNTH_SETTLE_MS); `cancel` (may be
// null) is looked at least every 100 ms. The same synthesizer answering twice is found once.
// Every port opened is closed again. Blocks for up to about listenMs; run it on a worker
// thread where a window must stay responsive. The ports may be open elsewhere meanwhile (the
// window's Midi Active): each open here is a handle of its own.
CSynthSearch FindSynthesizers(IMidiOutService& out, IMidiInService& in, const std::vector<CMidiPortItem>& ports,
                              const std::atomic<bool>* cancel, unsigned int listenMs = FIND_SYNTH_LISTEN_MS);

// "MS2000 found on UM-ONE MIDI 1, channel 3".
std::string FoundSynthText(const CFoundSynth& found);
// "MS2000 on UM-ONE MIDI 1, channel 3": one line of a list to pick from.
std::string FoundSynthChoiceText(const CFoundSynth& found);
// Why nothing was found: the ports asked and the usual causes, or that no port can be asked,
// and the ports that could not be used.
std::string NoSynthFoundText(const CSynthSearch& search);
