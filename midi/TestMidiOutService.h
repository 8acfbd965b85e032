#pragma once
#include "MidiEvent.h"
#include "MidiOutService.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A MIDI output service for tests: devices are configured by the test, every message
// the device takes is recorded, and it can refuse, be slow, or be unplugged as an ALSA
// port is (see Unplug). It does not keep to a cable's pace. It also keeps the order of
// the calls made on it, as short words:
//   "open <id>" (or "open <address>"), "prepare", "longmsg", "reset", "unprepare", "close",
// plus "reset-event" and "wait" when the completion event is a CRecordingMidiEvent.
class CTestMidiOutService : public IMidiOutService
{
public:
    enum : int {
        ERR_BAD_DEVICE_ID = 1,
        ERR_NOT_OPEN = 2,
        ERR_UNPLUGGED = 3,
    };
    // Completion delay meaning "the device never finishes" (until Reset or Close).
    static constexpr int NEVER = -1;

    CTestMidiOutService() = default;
    ~CTestMidiOutService() override;

    // Devices are listed in the order they are added; a device's id is its index among
    // the devices present now. Each gets an address "<client>:0", clients from 20 on.
    void AddDevice(const std::string& name, MidiOutKind kind = MidiOutKind::HardwarePort, bool canRead = false);
    // A device whose capabilities can't be read.
    void AddUnreadableDevice();

    // The next opens (or sends) fail with `code`, whose text GetErrorText gives.
    // A refused send sets the completion event unless signalRefusal is false; then the
    // sender's wait runs its full time, as some drivers make it.
    void RefuseOpen(int code, const std::string& text);
    void RefuseSend(int code, const std::string& text, bool signalRefusal = true);
    // After a LongMsg the device finishes after delayMs on another thread (0: at once,
    // inside LongMsg; NEVER: not at all).
    void SetCompletionDelay(int delayMs);
    // Device `name` disappears, as a port does from the ALSA sequencer: it leaves the
    // list, so the ids of the devices after it move down by one; a handle opened on it
    // stays open, but refuses every message with ERR_UNPLUGGED (setting the completion
    // event at once); the other devices and their handles go on working.
    void Unplug(const std::string& name);
    // Every device disappears: the list is empty and every open handle refuses.
    void Unplug();
    // Device `name` comes back at its old address and place in the list; handles opened
    // on it before work again, as ALSA delivers to a port that is back at its address.
    void Replug(const std::string& name);
    // The same for the one device at `address` ("21:0"), for devices that share a name.
    void UnplugAt(const std::string& address);
    void ReplugAt(const std::string& address);

    // Called with every message a device takes, on the sender's thread (for a simulated
    // instrument at the far end).
    void SetListener(std::function<void(const unsigned char*, unsigned int)> listener);
    // The same for the messages of the one device at `address` ("21:0"): an instrument cabled
    // to that port alone. A null listener takes it away.
    void SetPortListener(const std::string& address, std::function<void(const unsigned char*, unsigned int)> listener);

    std::vector<std::string> GetCalls() const;
    void ClearCalls();
    // The messages the device took, in order.
    std::vector<std::vector<unsigned char>> GetMessages() const;
    bool IsOpen() const;
    void RecordCall(const std::string& call);

    unsigned int GetNumDevs() override;
    bool GetDevCaps(unsigned int deviceId, CMidiOutCaps& caps) override;
    int Open(MidiOutHandle* handle, int deviceId, CMidiEvent* completion) override;
    // Records "open <address>".
    int OpenPort(MidiOutHandle* handle, const std::string& address, const std::string& productName,
                 CMidiEvent* completion) override;
    void Prepare(MidiOutHandle handle, const unsigned char* data, unsigned int length) override;
    int LongMsg(MidiOutHandle handle, const unsigned char* data, unsigned int length) override;
    void Unprepare(MidiOutHandle handle, const unsigned char* data, unsigned int length) override;
    void Reset(MidiOutHandle handle) override;
    void Close(MidiOutHandle handle) override;
    std::string GetErrorText(int code) override;

private:
    struct Device {
        std::string name;
        MidiOutKind kind;
        bool readable;
        bool canRead;
        bool present;
    };
    // The index in m_devices of device id `deviceId`, or -1. Needs m_mutex held.
    int FindPresent(int deviceId) const;
    void SetPresent(const std::string* name, bool present);
    void SetPresentAt(const std::string& address, bool present);
    int OpenIndex(MidiOutHandle* handle, int index, CMidiEvent* completion);  // needs m_mutex held
    void CompleteLater(CMidiEvent* completion, int delayMs);
    void CancelPendingCompletion();

    mutable std::mutex m_mutex;
    std::vector<Device> m_devices;
    std::map<int, std::string> m_errorTexts;
    int m_openRefusal = 0;
    int m_sendRefusal = 0;
    bool m_signalRefusal = true;
    int m_completionDelayMs = 0;
    int m_openDevices = 0;
    std::vector<std::string> m_calls;
    std::vector<std::vector<unsigned char>> m_messages;
    std::function<void(const unsigned char*, unsigned int)> m_listener;
    std::map<std::string, std::function<void(const unsigned char*, unsigned int)>> m_portListeners;

    // The pending completion of a slow device.
    std::thread m_completer;
    std::mutex m_completerMutex;
    std::condition_variable m_cancelled;
    bool m_cancel = false;
};

// A completion event that writes "reset-event" and "wait" into a test service's call
// list, so a test can see the whole send sequence in one list.
class CRecordingMidiEvent : public CMidiEvent
{
public:
    explicit CRecordingMidiEvent(CTestMidiOutService& service) : m_service(service) {}
    void Reset() override;
    bool Wait(unsigned int timeoutMs) override;

private:
    CTestMidiOutService& m_service;
};
