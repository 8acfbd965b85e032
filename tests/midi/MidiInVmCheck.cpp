// Drives the real ALSA input, receive, bank send and port watcher against the simulated
// synthesizer on the MIDI VM's hardware port. Run inside the VM by midi_in_vm_check.sh,
// with the synthesizer started from START_DUMP; the script then compares the synthesizer's
// memory with SEND_DUMP.
//
//   midi_in_vm_check START_DUMP SEND_DUMP
//
// Prints one line per step ("ok ..." or "FAIL ..."), the times taken, and exits 0 only
// when every step passed.
#include "AlsaMidiInService.h"
#include "AlsaMidiOutService.h"
#include "AlsaPortWatcher.h"
#include "MidiEvent.h"
#include "MidiPortList.h"
#include "ReceiveDump.h"
#include "SendBank.h"
#include "SyxFormat.h"
#include "ProgramList.h"
#include "SyxProgram.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

const char* const TEST_PORT_NAME = "Plugged-in Interface";

int g_failures = 0;

void Check(bool passed, const std::string& what)
{
    std::printf("%s %s\n", passed ? "ok" : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!passed)
        ++g_failures;
}

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Bytes ReadFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int FindDevice(CAlsaMidiOutService& out, const std::string& name, CMidiOutCaps& caps)
{
    const unsigned int count = out.GetNumDevs();
    for (unsigned int id = 0; id < count; ++id) {
        if (out.GetDevCaps(id, caps) && caps.productName == name)
            return static_cast<int>(id);
    }
    return -1;
}

// Waits up to `ms` for the watcher's news and reads it.
bool WatcherSeesChange(CAlsaPortWatcher& watcher, int ms)
{
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        std::vector<pollfd> fds = watcher.GetPollDescriptors();
        poll(fds.data(), static_cast<nfds_t>(fds.size()), 50);
        if (watcher.ReadChanges())
            return true;
    }
    return false;
}

void CheckReceives(CAlsaMidiOutService& out, MidiOutHandle hOut, CAlsaMidiInService& in, MidiInHandle hIn,
                   const Bytes& startDump)
{
    // The edit buffer starts as program A01 of the synthesizer's memory.
    CProgramList programs;
    std::string error;
    programs.ReadSyxBytes(startDump.data(), startDump.size(), error, "start");
    const Bytes firstProgram = programs.GetSize() > 0 ? BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0,
        programs.GetAt(0)->GetData(), programs.GetAt(0)->GetLength()) : Bytes{};

    Clock::time_point start = Clock::now();
    CReceiveResult current = ReceiveDump(out, hOut, in, hIn, DumpKind::CurrentProgram, 0, nullptr, nullptr);
    std::printf("current program: %zu bytes in %.2f s %s\n", current.bytes.size(), SecondsSince(start),
                current.error.c_str());
    Check(current.status == ReceiveStatus::Received && current.bytes.size() == 297 && current.bytes == firstProgram,
          "receive current program: 297 bytes, program A01 of the synthesizer's memory");

    size_t pieces = 0;
    start = Clock::now();
    CReceiveResult bank = ReceiveDump(out, hOut, in, hIn, DumpKind::AllPrograms, 0,
                                      [&pieces](size_t, size_t) { ++pieces; }, nullptr);
    std::printf("all programs: %zu bytes in %.2f s (the wire needs %.2f s), %zu progress calls %s\n",
                bank.bytes.size(), SecondsSince(start), 37163.0 / MIDI_WIRE_BYTES_PER_SECOND, pieces,
                bank.error.c_str());
    Check(bank.status == ReceiveStatus::Received && bank.bytes == startDump,
          "receive all programs: byte for byte the synthesizer's memory");
}

void CheckBankSend(CAlsaMidiOutService& out, MidiOutHandle hOut, CMidiEvent& done, CAlsaMidiInService& in,
                   MidiInHandle hIn, const Bytes& sendDump)
{
    const Clock::time_point start = Clock::now();
    const CBankSendResult result = SendBankDump(out, hOut, done, in, hIn, sendDump, 0, nullptr, nullptr);
    std::printf("bank send: %.2f s with the answer %s\n", SecondsSince(start), result.error.c_str());
    Check(result.status == BankSendStatus::Completed, "send a bank: the synthesizer answered data load completed");
}

// A bank send that timed out gets its answer late, while the next bank is on the wire. The
// next bank goes where nobody answers (the through port), as if the synthesizer had dropped
// it: the first bank's late answer must not pass for its answer.
void CheckLateAnswer(CAlsaMidiOutService& out, MidiOutHandle hOut, CMidiEvent& done, CAlsaMidiInService& in,
                     MidiInHandle hIn, const Bytes& bank)
{
    CMidiOutCaps caps;
    const int through = FindDevice(out, "Midi Through Port-0", caps);
    CMidiEvent throughDone;
    MidiOutHandle hThrough = nullptr;
    if (through < 0 || out.Open(&hThrough, through, &throughDone) != 0) {
        Check(false, "open Midi Through Port-0");
        return;
    }
    const CBankSendResult first = SendBankDump(out, hOut, done, in, hIn, bank, 0, nullptr, nullptr, 0);
    Check(first.status == BankSendStatus::NoAnswer, "a bank send that waits no time for its answer: no answer");
    const Clock::time_point start = Clock::now();
    const CBankSendResult second = SendBankDump(out, hThrough, throughDone, in, hIn, bank, 0, nullptr, nullptr, 1500);
    std::printf("second bank send, to a port nobody answers on: %.2f s, %s\n", SecondsSince(start),
                second.error.c_str());
    Check(second.status == BankSendStatus::NoAnswer,
          "the first bank's late answer does not pass for the answer to the second");
    out.Close(hThrough);
}

// Finds the port a client offers under `name`.
bool FindPortByName(snd_seq_t* seq, const std::string& name, snd_seq_addr_t& address)
{
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        snd_seq_port_info_set_client(port, snd_seq_client_info_get_client(client));
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            if (name == snd_seq_port_info_get_name(port)) {
                address = *snd_seq_port_info_get_addr(port);
                return true;
            }
        }
    }
    return false;
}

// Other kinds of input reach our port as events; ReadBytes gives them back as MIDI bytes,
// without the realtime ones. Another client sends them to our input port directly.
void CheckEventsBecomeBytes(CAlsaMidiInService& in, MidiInHandle hIn)
{
    snd_seq_t* other = nullptr;
    if (snd_seq_open(&other, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
        Check(false, "open a second sequencer client");
        return;
    }
    const int source = snd_seq_create_simple_port(other, "Keyboard", SND_SEQ_PORT_CAP_READ,
                                                  SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    snd_seq_addr_t target{};
    const bool found = FindPortByName(other, "Veltrix MIDI in", target);
    unsigned char identityRequest[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    for (int step = 0; step < 5; ++step) {
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        snd_seq_ev_set_source(&ev, source);
        snd_seq_ev_set_dest(&ev, target.client, target.port);
        snd_seq_ev_set_direct(&ev);
        switch (step) {
        case 0: snd_seq_ev_set_noteon(&ev, 2, 0x40, 0x7F); break;
        case 1: ev.type = SND_SEQ_EVENT_CLOCK; break;
        case 2: snd_seq_ev_set_sysex(&ev, sizeof identityRequest, identityRequest); break;
        case 3: snd_seq_ev_set_controller(&ev, 0, 7, 100); break;
        default: snd_seq_ev_set_pgmchange(&ev, 5, 5); break;
        }
        snd_seq_event_output(other, &ev);
    }
    snd_seq_drain_output(other);

    Bytes bytes;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(1000);
    const Bytes expected = {0x92, 0x40, 0x7F, 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7, 0xB0, 0x07, 0x64, 0xC5, 0x05};
    while (bytes.size() < expected.size() && Clock::now() < end) {
        std::vector<pollfd> fds = in.GetPollDescriptors(hIn);
        poll(fds.data(), static_cast<nfds_t>(fds.size()), 50);
        in.ReadBytes(hIn, bytes);
    }
    std::printf("events read as:");
    for (const unsigned char byte : bytes)
        std::printf(" %02X", byte);
    std::printf("\n");
    Check(found && bytes == expected, "note, SysEx, control and program change read as their bytes, "
                                                    "the clock dropped");
    snd_seq_close(other);
}

// Another client offers a hardware port that only takes output, then removes it.
void CheckPortComesAndGoes(CAlsaMidiOutService& out, CAlsaMidiInService& in, CAlsaPortWatcher& watcher)
{
    while (WatcherSeesChange(watcher, 300)) {
        // news of our own clients and ports from the steps before
    }
    Check(!WatcherSeesChange(watcher, 300), "watcher: no news while nothing changes");
    // Listing the ports opens a client of its own: a list filled on news must not feed itself.
    out.GetNumDevs();
    Check(!WatcherSeesChange(watcher, 300), "watcher: listing the ports brings no news");

    snd_seq_t* other = nullptr;
    if (snd_seq_open(&other, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
        Check(false, "open a second sequencer client");
        return;
    }
    snd_seq_set_client_name(other, "USB interface");
    const unsigned int before = out.GetNumDevs();
    const int port = snd_seq_create_simple_port(other, TEST_PORT_NAME,
                                                SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                                SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE);
    Check(WatcherSeesChange(watcher, 2000), "watcher: a port that appears is seen");
    CMidiOutCaps caps;
    const int id = FindDevice(out, TEST_PORT_NAME, caps);
    Check(port >= 0 && out.GetNumDevs() == before + 1 && id >= 0 && caps.kind == MidiOutKind::HardwarePort &&
              !caps.canRead, "the new port is listed as a hardware port that cannot be read");
    MidiInHandle hIn = nullptr;
    const int rc = in.OpenIn(&hIn, id);
    Check(rc == CAlsaMidiInService::ERR_NOT_READABLE && hIn == nullptr,
          "a port that cannot be read does not open for input: " + in.GetErrorText(rc));

    snd_seq_delete_simple_port(other, port);
    Check(WatcherSeesChange(watcher, 2000), "watcher: a port that disappears is seen");
    Check(FindDevice(out, TEST_PORT_NAME, caps) < 0 && out.GetNumDevs() == before, "the port is no longer listed");
    snd_seq_close(other);
}

// An interface of another client: its ports are listed, one before ours goes away before the
// open (device ids move), the port opens at its address all the same, and when it goes in the
// middle of the answer the receive ends at once as a MIDI error, not after a silence.
void CheckPortUnpluggedDuringAReceive(CAlsaMidiOutService& out, CAlsaMidiInService& in)
{
    snd_seq_t* other = nullptr;
    if (snd_seq_open(&other, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
        Check(false, "open a second sequencer client");
        return;
    }
    snd_seq_set_client_name(other, "USB interface 2");
    const unsigned int both = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ | SND_SEQ_PORT_CAP_WRITE |
                              SND_SEQ_PORT_CAP_SUBS_WRITE;
    const unsigned int hardware = SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE;
    const int filler = snd_seq_create_simple_port(other, "USB Synth", both, hardware);
    const int synthPort = snd_seq_create_simple_port(other, "USB Synth", both, hardware);
    std::vector<CMidiPortItem> ports = ListMidiPorts(out);
    const int index = FindPortByName(ports, "USB Synth #2");
    Check(filler >= 0 && synthPort >= 0 && index >= 0 && FindPortByName(ports, "USB Synth") == index - 1,
          "two ports of one name are listed as \"USB Synth\" and \"USB Synth #2\"");
    if (index < 0) {
        snd_seq_close(other);
        return;
    }
    const CMidiPortItem usb = ports[static_cast<size_t>(index)];

    snd_seq_delete_simple_port(other, filler);
    CMidiOutCaps caps;
    const bool idMoved = !out.GetDevCaps(static_cast<unsigned int>(usb.deviceId), caps) || caps.address != usb.address;
    CMidiEvent done;
    MidiOutHandle hOut = nullptr;
    MidiInHandle hIn = nullptr;
    const int outRc = out.OpenPort(&hOut, usb.address, usb.productName, &done);
    const int inRc = in.OpenInPort(&hIn, usb.address, usb.productName);
    Check(idMoved && outRc == 0 && inRc == 0, "after the ids moved, the listed port opens at " + usb.address + ": " +
                                                  out.GetErrorText(outRc) + " " + in.GetErrorText(inRc));
    if (hOut == nullptr || hIn == nullptr) {
        snd_seq_close(other);
        return;
    }

    // The interface's far end: it takes the request, sends the start of an answer, and is
    // pulled out.
    Bytes request;
    std::thread farEnd([&] {
        const Clock::time_point end = Clock::now() + std::chrono::seconds(3);
        snd_seq_nonblock(other, 1);
        while (request.empty() && Clock::now() < end) {
            snd_seq_event_t* ev = nullptr;
            if (snd_seq_event_input(other, &ev) >= 0 && ev != nullptr && ev->type == SND_SEQ_EVENT_SYSEX) {
                const auto* data = static_cast<const unsigned char*>(ev->data.ext.ptr);
                request.assign(data, data + ev->data.ext.len);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        unsigned char start[100] = {0xF0, 0x42, 0x30, 0x58, 0x40};
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        snd_seq_ev_set_source(&ev, synthPort);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        snd_seq_ev_set_sysex(&ev, sizeof start, start);
        snd_seq_event_output(other, &ev);
        snd_seq_drain_output(other);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        snd_seq_delete_simple_port(other, synthPort);
    });
    const Clock::time_point start = Clock::now();
    const CReceiveResult result = ReceiveDump(out, hOut, in, hIn, DumpKind::CurrentProgram, 0, nullptr, nullptr,
                                              CReceiveTimeouts{5000, 3000, 3000});
    const double seconds = SecondsSince(start);
    farEnd.join();
    std::printf("receive from a port pulled out during the answer: %.2f s, %s\n", seconds, result.error.c_str());
    Check(request == BuildDumpRequest(DumpKind::CurrentProgram, 0), "the request reached the listed port");
    Check(result.status == ReceiveStatus::MidiError && seconds < 2.0 &&
              result.error.find("no longer there") != std::string::npos,
          "the port pulled out ends the receive at once as a MIDI error");
    in.CloseIn(hIn);
    out.Close(hOut);

    MidiOutHandle hGone = nullptr;
    const int goneRc = out.OpenPort(&hGone, usb.address, usb.productName, &done);
    Check(goneRc == CAlsaMidiOutService::ERR_PORT_GONE && hGone == nullptr,
          "a port gone since the listing does not open: " + out.GetErrorText(goneRc));
    snd_seq_close(other);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::printf("usage: midi_in_vm_check START_DUMP SEND_DUMP\n");
        return 2;
    }
    const Bytes startDump = ReadFile(argv[1]);
    const Bytes sendDump = ReadFile(argv[2]);

    CAlsaMidiOutService out;
    CAlsaMidiInService in(out);
    CAlsaPortWatcher watcher;
    Check(watcher.GetStartError() == 0, "the port watcher follows the System Announce port");

    CMidiOutCaps caps;
    const int id = FindDevice(out, "Serial MIDI 1", caps);
    Check(id >= 0 && caps.canRead && caps.kind == MidiOutKind::HardwarePort,
          "Serial MIDI 1 is a hardware port that can be read, at " + caps.address);
    const unsigned int ports = out.GetNumDevs();
    CMidiEvent done;
    MidiOutHandle hOut = nullptr;
    MidiInHandle hIn = nullptr;
    const int outRc = out.Open(&hOut, id, &done);
    const int inRc = in.OpenIn(&hIn, id);
    Check(outRc == 0 && inRc == 0, "open Serial MIDI 1 both ways: " + out.GetErrorText(outRc) + " " +
                                       in.GetErrorText(inRc));
    Check(out.GetNumDevs() == ports, "our own input and watcher ports are not listed as output ports");
    if (hOut != nullptr && hIn != nullptr) {
        CheckReceives(out, hOut, in, hIn, startDump);
        CheckLateAnswer(out, hOut, done, in, hIn, startDump);
        CheckBankSend(out, hOut, done, in, hIn, sendDump);
        CheckEventsBecomeBytes(in, hIn);
    }
    in.CloseIn(hIn);
    out.Close(hOut);
    CheckPortComesAndGoes(out, in, watcher);
    CheckPortUnpluggedDuringAReceive(out, in);
    std::printf("%d failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
