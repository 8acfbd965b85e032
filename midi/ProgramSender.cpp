#include "ProgramSender.h"

#include "MidiEvent.h"
#include "SyxFormat.h"

std::string FormatSendError(const std::string& serviceText)
{
    return "Error: Failed to send Midi SysEx message to MS2K. " + serviceText;
}

bool BuildProgramMessage(const unsigned char* data, unsigned int length, int channel, CProgramMessage& message)
{
    if (channel < 0 || channel > 15)
        channel = MIDI_DEFAULT_CHANNEL;
    message.length = PackProgramMessage(data, length, channel, message.bytes, sizeof message.bytes);
    return message.length != 0;
}

bool SendProgramMessage(IMidiOutService& service, MidiOutHandle hMidiOut, CMidiEvent& done,
                        const CProgramMessage& message, std::string& errorMessage, unsigned int timeoutMs)
{
    errorMessage.clear();
    if (hMidiOut == nullptr || message.length == 0)
        return false;

    service.Prepare(hMidiOut, message.bytes, message.length);
    // Left signalled by the open or by the previous send.
    done.Reset();
    const int rc = service.LongMsg(hMidiOut, message.bytes, message.length);
    // Wait even after a refusal: the device may still hold the buffer.
    if (!done.Wait(timeoutMs))
        service.Reset(hMidiOut);
    if (rc != 0)
        errorMessage = FormatSendError(service.GetErrorText(rc));
    service.Unprepare(hMidiOut, message.bytes, message.length);
    return rc == 0;
}
