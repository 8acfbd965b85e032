#pragma once
#include "MidiInService.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class IMidiOutService;
struct CMidiOutCaps;

// A MIDI input service for tests, in memory. A device id opens when the output service
// has such a device (so unplugging that one makes opens fail too) and the test has not
// made it write-only. What the far end sends is handed in with Deliver, a piece at a
// time as ALSA delivers it; every open input gets it, and while nothing is open it is
// lost, as on a real port. Each open input has an eventfd as its poll descriptor, readable
// while bytes wait. Once its port has left the output service's list (unplugged), reads
// fail with ERR_PORT_GONE, as the ALSA input's do.
class CTestMidiInService : public IMidiInService
{
public:
    enum : int {
        ERR_BAD_DEVICE_ID = 1,
        ERR_NOT_OPEN = 2,
        ERR_NOT_READABLE = 3,
        ERR_PORT_GONE = 4,
    };

    explicit CTestMidiInService(IMidiOutService& out);
    ~CTestMidiInService() override;

    // The port of device `deviceId` only takes output: opening its input fails.
    void MakeWriteOnly(int deviceId);
    // The next reads fail with `code`, whose text GetErrorText gives (0: they work again).
    void FailReads(int code, const std::string& text);
    // Bytes that arrived from the far end, as one piece.
    void Deliver(const std::vector<unsigned char>& piece);
    // The same on the inputs of the one port at `address` only ("21:0").
    void DeliverTo(const std::string& address, const std::vector<unsigned char>& piece);
    int GetOpenCount() const;

    int OpenIn(MidiInHandle* handle, int deviceId) override;
    int OpenInPort(MidiInHandle* handle, const std::string& address, const std::string& productName) override;
    void CloseIn(MidiInHandle handle) override;
    std::vector<pollfd> GetPollDescriptors(MidiInHandle handle) override;
    int ReadBytes(MidiInHandle handle, std::vector<unsigned char>& bytes) override;
    std::string GetErrorText(int code) override;

private:
    struct Input;
    int OpenListed(MidiInHandle* handle, int deviceId, const CMidiOutCaps& caps);
    // To every listed port's inputs, or to those at `address` when it is given.
    void DeliverAt(const std::string* address, const std::vector<unsigned char>& piece);
    bool IsListed(const std::string& address, const std::string& productName);

    IMidiOutService& m_out;
    mutable std::mutex m_mutex;
    std::set<int> m_writeOnly;
    std::set<Input*> m_inputs;
    std::map<int, std::string> m_errorTexts;
    int m_readFailure = 0;
};
