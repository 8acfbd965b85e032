#include "TestMidiOutService.h"

#include <chrono>

namespace {

constexpr int FIRST_TEST_CLIENT = 20;

struct CTestMidiOutDevice : CMidiOutDevice
{
    size_t device = 0;   // index in m_devices: a handle stays with its device as ids move
    CMidiEvent* completion = nullptr;
};

void Signal(CMidiEvent* completion)
{
    if (completion != nullptr)
        completion->Set();
}

}  // namespace

CTestMidiOutService::~CTestMidiOutService()
{
    CancelPendingCompletion();
}

void CTestMidiOutService::AddDevice(const std::string& name, MidiOutKind kind, bool canRead)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.push_back({name, kind, true, canRead, true});
}

void CTestMidiOutService::AddUnreadableDevice()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.push_back({"", MidiOutKind::HardwarePort, false, false, true});
}

void CTestMidiOutService::RefuseOpen(int code, const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openRefusal = code;
    m_errorTexts[code] = text;
}

void CTestMidiOutService::RefuseSend(int code, const std::string& text, bool signalRefusal)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sendRefusal = code;
    m_signalRefusal = signalRefusal;
    m_errorTexts[code] = text;
}

void CTestMidiOutService::SetCompletionDelay(int delayMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_completionDelayMs = delayMs;
}

void CTestMidiOutService::Unplug(const std::string& name)
{
    SetPresent(&name, false);
}

void CTestMidiOutService::Unplug()
{
    SetPresent(nullptr, false);
}

void CTestMidiOutService::Replug(const std::string& name)
{
    SetPresent(&name, true);
}

void CTestMidiOutService::UnplugAt(const std::string& address)
{
    SetPresentAt(address, false);
}

void CTestMidiOutService::ReplugAt(const std::string& address)
{
    SetPresentAt(address, true);
}

void CTestMidiOutService::SetPresentAt(const std::string& address, bool present)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t i = 0; i < m_devices.size(); ++i)
        if (std::to_string(FIRST_TEST_CLIENT + static_cast<int>(i)) + ":0" == address)
            m_devices[i].present = present;
}

void CTestMidiOutService::SetPresent(const std::string* name, bool present)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Device& device : m_devices)
        if (name == nullptr || device.name == *name)
            device.present = present;
}

int CTestMidiOutService::FindPresent(int deviceId) const
{
    int id = 0;
    for (size_t i = 0; i < m_devices.size(); ++i) {
        if (!m_devices[i].present)
            continue;
        if (id == deviceId)
            return static_cast<int>(i);
        ++id;
    }
    return -1;
}

void CTestMidiOutService::SetListener(std::function<void(const unsigned char*, unsigned int)> listener)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listener = std::move(listener);
}

void CTestMidiOutService::SetPortListener(const std::string& address,
                                          std::function<void(const unsigned char*, unsigned int)> listener)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (listener)
        m_portListeners[address] = std::move(listener);
    else
        m_portListeners.erase(address);
}

std::vector<std::string> CTestMidiOutService::GetCalls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

void CTestMidiOutService::ClearCalls()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.clear();
}

std::vector<std::vector<unsigned char>> CTestMidiOutService::GetMessages() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

bool CTestMidiOutService::IsOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_openDevices > 0;
}

void CTestMidiOutService::RecordCall(const std::string& call)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back(call);
}

unsigned int CTestMidiOutService::GetNumDevs()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    unsigned int count = 0;
    for (const Device& device : m_devices)
        count += device.present ? 1 : 0;
    return count;
}

bool CTestMidiOutService::GetDevCaps(unsigned int deviceId, CMidiOutCaps& caps)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int index = FindPresent(static_cast<int>(deviceId));
    if (index < 0 || !m_devices[static_cast<size_t>(index)].readable)
        return false;
    const Device& device = m_devices[static_cast<size_t>(index)];
    caps.productName = LimitText(device.name, MIDI_OUT_NAME_MAX);
    caps.kind = device.kind;
    caps.canRead = device.canRead;
    caps.address = std::to_string(FIRST_TEST_CLIENT + index) + ":0";
    return true;
}

int CTestMidiOutService::Open(MidiOutHandle* handle, int deviceId, CMidiEvent* completion)
{
    RecordCall("open " + std::to_string(deviceId));
    std::lock_guard<std::mutex> lock(m_mutex);
    if (handle == nullptr)
        return ERR_NOT_OPEN;
    *handle = nullptr;
    if (m_openRefusal != 0)
        return m_openRefusal;
    const int index = FindPresent(deviceId);
    if (index < 0)
        return ERR_BAD_DEVICE_ID;
    return OpenIndex(handle, index, completion);
}

int CTestMidiOutService::OpenPort(MidiOutHandle* handle, const std::string& address, const std::string& productName,
                                  CMidiEvent* completion)
{
    RecordCall("open " + address);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (handle == nullptr)
        return ERR_NOT_OPEN;
    *handle = nullptr;
    if (m_openRefusal != 0)
        return m_openRefusal;
    for (size_t i = 0; i < m_devices.size(); ++i) {
        const Device& device = m_devices[i];
        if (device.present && device.readable && std::to_string(FIRST_TEST_CLIENT + static_cast<int>(i)) + ":0" == address &&
            LimitText(device.name, MIDI_OUT_NAME_MAX) == productName)
            return OpenIndex(handle, static_cast<int>(i), completion);
    }
    return ERR_UNPLUGGED;
}

int CTestMidiOutService::OpenIndex(MidiOutHandle* handle, int index, CMidiEvent* completion)
{
    auto* device = new CTestMidiOutDevice;
    device->device = static_cast<size_t>(index);
    device->completion = completion;
    *handle = device;
    ++m_openDevices;
    Signal(completion);
    return 0;
}

void CTestMidiOutService::Prepare(MidiOutHandle, const unsigned char*, unsigned int)
{
    RecordCall("prepare");
}

int CTestMidiOutService::LongMsg(MidiOutHandle handle, const unsigned char* data, unsigned int length)
{
    RecordCall("longmsg");
    auto* device = static_cast<CTestMidiOutDevice*>(handle);
    if (device == nullptr)
        return ERR_NOT_OPEN;
    int rc = 0;
    bool signal = true;
    int delayMs = 0;
    std::function<void(const unsigned char*, unsigned int)> listener;
    std::function<void(const unsigned char*, unsigned int)> portListener;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_devices[device->device].present) {
            rc = ERR_UNPLUGGED;
        } else if (m_sendRefusal != 0) {
            rc = m_sendRefusal;
            signal = m_signalRefusal;
        } else {
            m_messages.emplace_back(data, data + length);
            delayMs = m_completionDelayMs;
            listener = m_listener;
            const auto found =
                m_portListeners.find(std::to_string(FIRST_TEST_CLIENT + static_cast<int>(device->device)) + ":0");
            if (found != m_portListeners.end())
                portListener = found->second;
        }
    }
    if (listener)
        listener(data, length);
    if (portListener)
        portListener(data, length);
    if (rc != 0 || delayMs == 0) {
        if (signal)
            Signal(device->completion);
    } else {
        CompleteLater(device->completion, delayMs);
    }
    return rc;
}

void CTestMidiOutService::Unprepare(MidiOutHandle, const unsigned char*, unsigned int)
{
    RecordCall("unprepare");
}

void CTestMidiOutService::Reset(MidiOutHandle handle)
{
    RecordCall("reset");
    CancelPendingCompletion();
    if (handle != nullptr)
        Signal(static_cast<CTestMidiOutDevice*>(handle)->completion);
}

void CTestMidiOutService::Close(MidiOutHandle handle)
{
    RecordCall("close");
    CancelPendingCompletion();
    auto* device = static_cast<CTestMidiOutDevice*>(handle);
    if (device == nullptr)
        return;
    Signal(device->completion);
    delete device;
    std::lock_guard<std::mutex> lock(m_mutex);
    --m_openDevices;
}

std::string CTestMidiOutService::GetErrorText(int code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_errorTexts.find(code);
    if (found != m_errorTexts.end())
        return LimitText(found->second, MIDI_ERROR_TEXT_MAX);
    switch (code) {
    case ERR_BAD_DEVICE_ID: return "There is no MIDI output device with this id.";
    case ERR_NOT_OPEN: return "The MIDI output device is not open.";
    case ERR_UNPLUGGED: return "The MIDI port is no longer there; it may have been unplugged.";
    default: return "Unknown test error " + std::to_string(code) + ".";
    }
}

void CTestMidiOutService::CompleteLater(CMidiEvent* completion, int delayMs)
{
    CancelPendingCompletion();
    {
        std::lock_guard<std::mutex> lock(m_completerMutex);
        m_cancel = false;
    }
    m_completer = std::thread([this, completion, delayMs] {
        std::unique_lock<std::mutex> lock(m_completerMutex);
        const auto cancelled = [this] { return m_cancel; };
        if (delayMs == NEVER)
            m_cancelled.wait(lock, cancelled);
        else if (!m_cancelled.wait_for(lock, std::chrono::milliseconds(delayMs), cancelled))
            Signal(completion);
    });
}

void CTestMidiOutService::CancelPendingCompletion()
{
    {
        std::lock_guard<std::mutex> lock(m_completerMutex);
        m_cancel = true;
    }
    m_cancelled.notify_all();
    if (m_completer.joinable())
        m_completer.join();
}

void CRecordingMidiEvent::Reset()
{
    m_service.RecordCall("reset-event");
    CMidiEvent::Reset();
}

bool CRecordingMidiEvent::Wait(unsigned int timeoutMs)
{
    m_service.RecordCall("wait");
    return CMidiEvent::Wait(timeoutMs);
}
