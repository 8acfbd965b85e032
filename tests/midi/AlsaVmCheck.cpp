// Drives the real ALSA backend inside the MIDI VM the way the window does (port model, send
// sequence), against ports it can watch. alsa_vm_check.sh runs it there and compares the
// bytes that reached the hardware port with those printed by `alsa_vm_check --expected-burst`.
//
// 1. A second sequencer client of this program offers "Check MIDI Out" (MIDI_GENERIC|HARDWARE,
//    readable too) and "Check FM Synth" (HARDWARE|SYNTHESIZER, an on-card synthesizer that must
//    not be listed).
// 2. "Check MIDI Out" is opened and takes a program message and one sent in pieces, byte for
//    byte; then it is removed, and two sends fail with a readable reason; then it comes back at
//    the same address, and only the next message reaches it (the failed ones were dropped).
// 3. "Serial MIDI 1" (the synthesizer's cable, at wire speed) gets 40 programs back to back.
//
// Prints one line per step, "FAIL: ..." for each fault; exits 0 only when there was none.
#include "AlsaMidiOutService.h"
#include "MidiEvent.h"
#include "MidiPortModel.h"
#include "ProgramSender.h"
#include "WireClock.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using SteadyClock = std::chrono::steady_clock;

constexpr unsigned int TEST_PROGRAM_SIZE = 254;
constexpr int BURST_COUNT = 40;
constexpr unsigned int PIECE_SIZE = 100;
const char* const HARDWARE_PORT = "Serial MIDI 1";
const char* const CHECK_PORT = "Check MIDI Out";
const char* const CHECK_SYNTH = "Check FM Synth";

int g_faults = 0;

void Fail(const std::string& what)
{
    std::printf("FAIL: %s\n", what.c_str());
    ++g_faults;
}

// Program `variant`: its bytes cover all values, with bit 7 set in many places.
CProgramMessage TestMessage(int variant, int channel)
{
    unsigned char program[TEST_PROGRAM_SIZE];
    for (unsigned int i = 0; i < TEST_PROGRAM_SIZE; ++i)
        program[i] = static_cast<unsigned char>(i * 37 + 5 + variant * 11);
    CProgramMessage message;
    BuildProgramMessage(program, TEST_PROGRAM_SIZE, channel, message);
    return message;
}

Bytes BytesOf(const CProgramMessage& message)
{
    return Bytes(message.bytes, message.bytes + message.length);
}

double SecondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// The other client: offers ports at fixed addresses and collects the SysEx bytes sent to them.
class CCheckClient
{
public:
    bool Open()
    {
        if (snd_seq_open(&m_seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0)
            return false;
        snd_seq_set_client_name(m_seq, "Veltrix VM Check");
        return true;
    }
    ~CCheckClient()
    {
        if (m_seq != nullptr)
            snd_seq_close(m_seq);
    }
    int Client() const { return snd_seq_client_id(m_seq); }

    bool CreatePort(int port, const char* name, unsigned int capabilities, unsigned int type)
    {
        snd_seq_port_info_t* info;
        snd_seq_port_info_alloca(&info);
        snd_seq_port_info_set_port(info, port);
        snd_seq_port_info_set_port_specified(info, 1);
        snd_seq_port_info_set_name(info, name);
        snd_seq_port_info_set_capability(info, capabilities);
        snd_seq_port_info_set_type(info, type);
        return snd_seq_create_port(m_seq, info) >= 0;
    }
    bool DeletePort(int port) { return snd_seq_delete_simple_port(m_seq, port) >= 0; }

    // Takes every SysEx event waiting for us, joined in order; `events` counts them.
    Bytes Received(int& events)
    {
        Bytes bytes;
        events = 0;
        snd_seq_event_t* ev = nullptr;
        while (snd_seq_event_input(m_seq, &ev) >= 0 && ev != nullptr) {
            if (ev->type == SND_SEQ_EVENT_SYSEX) {
                const auto* data = static_cast<const unsigned char*>(ev->data.ext.ptr);
                bytes.insert(bytes.end(), data, data + ev->data.ext.len);
                ++events;
            }
        }
        return bytes;
    }

private:
    snd_seq_t* m_seq = nullptr;
};

constexpr int CHECK_PORT_NUMBER = 0;
constexpr int CHECK_SYNTH_NUMBER = 1;
constexpr unsigned int WRITABLE = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
constexpr unsigned int READABLE = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;

bool CreateCheckPort(CCheckClient& check)
{
    return check.CreatePort(CHECK_PORT_NUMBER, CHECK_PORT, WRITABLE | READABLE,
                            SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE);
}

void SelectChannel(CMidiPortModel& model, const char* text)
{
    const auto& channels = model.GetChannels();
    for (size_t i = 0; i < channels.size(); ++i)
        if (channels[i].text == text)
            model.SelectChannel(static_cast<int>(i));
}

// The list holds exactly the two hardware ports, with their addresses; the synthesizer is
// offered by the service but is not a hardware port.
void CheckPortList(IMidiOutService& service, CMidiPortModel& model, int checkClient)
{
    std::vector<std::string> names;
    for (const CMidiPortItem& port : model.GetPorts()) {
        CMidiOutCaps caps;
        service.GetDevCaps(static_cast<unsigned int>(port.deviceId), caps);
        std::printf("port %d %s at %s%s\n", port.deviceId, port.name.c_str(), caps.address.c_str(),
                    caps.canRead ? ", readable" : "");
        names.push_back(port.name);
        if (port.name == CHECK_PORT
            && (caps.address != std::to_string(checkClient) + ":" + std::to_string(CHECK_PORT_NUMBER) || !caps.canRead))
            Fail(std::string(CHECK_PORT) + " has the wrong address or is not readable");
    }
    if (names != std::vector<std::string>{HARDWARE_PORT, CHECK_PORT})
        Fail(std::string("the port list must be exactly \"") + HARDWARE_PORT + "\", \"" + CHECK_PORT + "\"");
    for (unsigned int id = 0; id < service.GetNumDevs(); ++id) {
        CMidiOutCaps caps;
        if (service.GetDevCaps(id, caps) && caps.productName == CHECK_SYNTH)
            std::printf("offered but not listed: %s (%s)\n", CHECK_SYNTH,
                        caps.kind == MidiOutKind::HardwarePort ? "hardware port" : "other");
    }
}

bool OpenPort(CMidiPortModel& model, const char* name, const char* channel, MidiOutHandle& hMidiOut,
              CMidiEvent& done)
{
    std::string error;
    if (model.RestorePort(name) == MIDI_NO_SELECTION || model.GetSelectedPortName() != name) {
        Fail(std::string("\"") + name + "\" is not listed");
        return false;
    }
    SelectChannel(model, channel);
    if (!model.Open(hMidiOut, done, error)) {
        Fail(error);
        return false;
    }
    return true;
}

// A port that another client offers: delivery, pieces, removal, return.
void CheckVanishingPort(IMidiOutService& service, CMidiPortModel& model, CCheckClient& check)
{
    CMidiEvent done;
    MidiOutHandle hMidiOut = nullptr;
    if (!OpenPort(model, CHECK_PORT, "06", hMidiOut, done))
        return;
    std::string error;
    int events = 0;

    const CProgramMessage program = TestMessage(0, 5);
    if (!SendProgramMessage(service, hMidiOut, done, program, error))
        Fail("send to " + std::string(CHECK_PORT) + ": " + error);
    Bytes received = check.Received(events);
    std::printf("%s took a program: %zu bytes in %d events%s\n", CHECK_PORT, received.size(), events,
                received == BytesOf(program) ? ", equal to the message" : "");
    if (received != BytesOf(program))
        Fail("the program reached " + std::string(CHECK_PORT) + " changed");

    // One SysEx in pieces, one LongMsg each, as a long dump is sent.
    const CProgramMessage whole = TestMessage(1, 5);
    const SteadyClock::time_point start = SteadyClock::now();
    for (unsigned int at = 0; at < whole.length; at += PIECE_SIZE) {
        const unsigned int length = std::min(PIECE_SIZE, whole.length - at);
        if (service.LongMsg(hMidiOut, whole.bytes + at, length) != 0)
            Fail("a piece was refused");
    }
    const double seconds = SecondsSince(start);
    received = check.Received(events);
    std::printf("%s took %u bytes in pieces of at most %u in %.3f s: %zu bytes in %d events%s\n", CHECK_PORT,
                whole.length, PIECE_SIZE, seconds, received.size(), events,
                received == BytesOf(whole) ? ", equal to the message" : "");
    if (received != BytesOf(whole))
        Fail("the pieces reached " + std::string(CHECK_PORT) + " changed");
    if (seconds < std::chrono::duration<double>(CWireClock().TimeFor(whole.length)).count())
        Fail("the pieces were sent faster than the wire carries them");

    check.DeletePort(CHECK_PORT_NUMBER);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        if (SendProgramMessage(service, hMidiOut, done, TestMessage(2, 5), error))
            Fail("a send to the removed port reported success");
        std::printf("send %d after removal: %s\n", attempt, error.c_str());
        if (error.rfind("Error: Failed to send Midi SysEx message to MS2K. ", 0) != 0 || error.size() < 60)
            Fail("the failure is not told with a reason");
    }

    if (!CreateCheckPort(check)) {
        Fail("could not put the check port back");
    } else {
        const CProgramMessage next = TestMessage(3, 5);
        if (!SendProgramMessage(service, hMidiOut, done, next, error))
            Fail("send after the port came back: " + error);
        received = check.Received(events);
        std::printf("%s back at its address took %zu bytes%s\n", CHECK_PORT, received.size(),
                    received == BytesOf(next) ? ", only the next message" : "");
        if (received != BytesOf(next))
            Fail("the failed sends were not dropped, or the next one did not arrive whole");
    }
    model.Close(hMidiOut);
}

// The synthesizer's cable: 40 programs back to back must all arrive, each send taking the
// wire's time.
void CheckBurst(IMidiOutService& service, CMidiPortModel& model)
{
    CMidiEvent done;
    MidiOutHandle hMidiOut = nullptr;
    if (!OpenPort(model, HARDWARE_PORT, "01", hMidiOut, done))
        return;
    std::string error;
    unsigned int bytes = 0;
    const SteadyClock::time_point start = SteadyClock::now();
    for (int k = 0; k < BURST_COUNT; ++k) {
        const CProgramMessage message = TestMessage(k, 0);
        if (!SendProgramMessage(service, hMidiOut, done, message, error))
            Fail("burst send " + std::to_string(k + 1) + ": " + error);
        bytes += message.length;
    }
    const double seconds = SecondsSince(start);
    model.Close(hMidiOut);
    std::printf("burst: %d sends, %u bytes, took %.3f s (the wire needs %.3f s)\n", BURST_COUNT, bytes, seconds,
                std::chrono::duration<double>(CWireClock().TimeFor(bytes)).count());
    if (seconds < std::chrono::duration<double>(CWireClock().TimeFor(bytes)).count())
        Fail("the sends finished before the wire could carry them");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--expected-burst") {
        for (int k = 0; k < BURST_COUNT; ++k) {
            const CProgramMessage message = TestMessage(k, 0);
            std::fwrite(message.bytes, 1, message.length, stdout);
        }
        return 0;
    }

    CCheckClient check;
    if (!check.Open() || !CreateCheckPort(check)
        || !check.CreatePort(CHECK_SYNTH_NUMBER, CHECK_SYNTH, WRITABLE,
                             SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE
                                 | SND_SEQ_PORT_TYPE_SYNTHESIZER)) {
        std::printf("FAIL: could not offer the check ports\n");
        return 2;
    }

    CAlsaMidiOutService service;
    CMidiPortModel model(service);
    model.FillPorts();
    CheckPortList(service, model, check.Client());
    CheckVanishingPort(service, model, check);
    CheckBurst(service, model);
    std::printf("%s\n", g_faults == 0 ? "all checks passed" : "some checks failed");
    return g_faults == 0 ? 0 : 1;
}
