// Drives the real ALSA backend the way the window does: lists the hardware ports, opens
// the first one through the port model, and sends one program on channel "06" through
// the send sequence. Run inside the MIDI VM by alsa_vm_check.sh, which compares what it
// prints with the bytes that reached the hardware port.
//
// Prints "port <device id> <name>" per listed port, then "sent <message in hex>".
// Exits 0 only when every step succeeded.
#include "AlsaMidiOutService.h"
#include "MidiEvent.h"
#include "MidiPortModel.h"
#include "ProgramSender.h"

#include <cstdio>
#include <string>

namespace {

constexpr unsigned int TEST_PROGRAM_SIZE = 254;
const char* const TEST_CHANNEL = "06";

// A program whose bytes cover all values, with bit 7 set in many places.
void FillTestProgram(unsigned char* program)
{
    for (unsigned int i = 0; i < TEST_PROGRAM_SIZE; ++i)
        program[i] = static_cast<unsigned char>(i * 37 + 5);
}

int SelectChannel(CMidiPortModel& model, const std::string& text)
{
    const auto& channels = model.GetChannels();
    for (size_t i = 0; i < channels.size(); ++i) {
        if (channels[i].text == text) {
            model.SelectChannel(static_cast<int>(i));
            return channels[i].channel;
        }
    }
    return -1;
}

}  // namespace

int main()
{
    CAlsaMidiOutService service;
    CMidiPortModel model(service);
    model.FillPorts();
    for (const CMidiPortItem& port : model.GetPorts())
        std::printf("port %d %s\n", port.deviceId, port.name.c_str());
    if (model.RestorePort("") == MIDI_NO_SELECTION) {
        std::printf("no hardware MIDI port\n");
        return 1;
    }
    const int channel = SelectChannel(model, TEST_CHANNEL);

    CMidiEvent done;
    MidiOutHandle hMidiOut = nullptr;
    std::string error;
    if (!model.Open(hMidiOut, done, error)) {
        std::printf("%s\n", error.c_str());
        return 2;
    }

    unsigned char program[TEST_PROGRAM_SIZE];
    FillTestProgram(program);
    CProgramMessage message;
    if (!BuildProgramMessage(program, TEST_PROGRAM_SIZE, model.GetSelectedChannel(), message) || channel != 5) {
        std::printf("could not build the message\n");
        model.Close(hMidiOut);
        return 3;
    }
    const bool sent = SendProgramMessage(service, hMidiOut, done, message, error);
    model.Close(hMidiOut);
    if (!sent) {
        std::printf("%s\n", error.c_str());
        return 4;
    }
    std::printf("sent");
    for (unsigned int i = 0; i < message.length; ++i)
        std::printf(" %02X", message.bytes[i]);
    std::printf("\n");
    return 0;
}
