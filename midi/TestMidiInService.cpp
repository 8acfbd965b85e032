#include "TestMidiInService.h"

#include "MidiOutService.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

struct CTestMidiInService::Input : CMidiInDevice
{
    int fd = -1;
    std::vector<unsigned char> pending;
    std::string address;
    std::string productName;
};

namespace {

void Raise(int fd)
{
    const std::uint64_t one = 1;
    (void)!write(fd, &one, sizeof one);
}

void Lower(int fd)
{
    std::uint64_t value = 0;
    (void)!read(fd, &value, sizeof value);  // non-blocking: nothing to lower is fine
}

}  // namespace

CTestMidiInService::CTestMidiInService(IMidiOutService& out) : m_out(out) {}

CTestMidiInService::~CTestMidiInService()
{
    for (Input* input : m_inputs) {
        close(input->fd);
        delete input;
    }
}

void CTestMidiInService::MakeWriteOnly(int deviceId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_writeOnly.insert(deviceId);
}

void CTestMidiInService::FailReads(int code, const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_readFailure = code;
    m_errorTexts[code] = text;
}

void CTestMidiInService::Deliver(const std::vector<unsigned char>& piece)
{
    DeliverAt(nullptr, piece);
}

void CTestMidiInService::DeliverTo(const std::string& address, const std::vector<unsigned char>& piece)
{
    DeliverAt(&address, piece);
}

void CTestMidiInService::DeliverAt(const std::string* address, const std::vector<unsigned char>& piece)
{
    // Nothing comes any more from a port that went away.
    std::set<std::string> listed;
    const unsigned int count = m_out.GetNumDevs();
    for (unsigned int id = 0; id < count; ++id) {
        CMidiOutCaps caps;
        if (m_out.GetDevCaps(id, caps))
            listed.insert(caps.address + "\n" + caps.productName);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Input* input : m_inputs) {
        if (listed.count(input->address + "\n" + input->productName) == 0 ||
            (address != nullptr && input->address != *address))
            continue;
        input->pending.insert(input->pending.end(), piece.begin(), piece.end());
        Raise(input->fd);
    }
}

int CTestMidiInService::GetOpenCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_inputs.size());
}

int CTestMidiInService::OpenIn(MidiInHandle* handle, int deviceId)
{
    if (handle == nullptr)
        return ERR_NOT_OPEN;
    *handle = nullptr;
    CMidiOutCaps caps;
    if (deviceId < 0 || !m_out.GetDevCaps(static_cast<unsigned int>(deviceId), caps))
        return ERR_BAD_DEVICE_ID;
    return OpenListed(handle, deviceId, caps);
}

int CTestMidiInService::OpenInPort(MidiInHandle* handle, const std::string& address, const std::string& productName)
{
    if (handle == nullptr)
        return ERR_NOT_OPEN;
    *handle = nullptr;
    CMidiOutCaps caps;
    const int id = FindListedPort(m_out, address, productName, caps);
    return id < 0 ? ERR_PORT_GONE : OpenListed(handle, id, caps);
}

int CTestMidiInService::OpenListed(MidiInHandle* handle, int deviceId, const CMidiOutCaps& caps)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_writeOnly.count(deviceId) != 0)
        return ERR_NOT_READABLE;
    auto* input = new Input;
    input->fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    input->address = caps.address;
    input->productName = caps.productName;
    m_inputs.insert(input);
    *handle = input;
    return 0;
}

bool CTestMidiInService::IsListed(const std::string& address, const std::string& productName)
{
    const unsigned int count = m_out.GetNumDevs();
    for (unsigned int id = 0; id < count; ++id) {
        CMidiOutCaps caps;
        if (m_out.GetDevCaps(id, caps) && caps.address == address && caps.productName == productName)
            return true;
    }
    return false;
}

void CTestMidiInService::CloseIn(MidiInHandle handle)
{
    auto* input = static_cast<Input*>(handle);
    if (input == nullptr)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_inputs.erase(input);
    close(input->fd);
    delete input;
}

std::vector<pollfd> CTestMidiInService::GetPollDescriptors(MidiInHandle handle)
{
    auto* input = static_cast<Input*>(handle);
    if (input == nullptr)
        return {};
    return {pollfd{input->fd, POLLIN, 0}};
}

int CTestMidiInService::ReadBytes(MidiInHandle handle, std::vector<unsigned char>& bytes)
{
    auto* input = static_cast<Input*>(handle);
    if (input == nullptr)
        return ERR_NOT_OPEN;
    const bool listed = IsListed(input->address, input->productName);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_readFailure != 0)
        return m_readFailure;
    bytes.insert(bytes.end(), input->pending.begin(), input->pending.end());
    input->pending.clear();
    Lower(input->fd);
    return listed ? 0 : ERR_PORT_GONE;
}

std::string CTestMidiInService::GetErrorText(int code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_errorTexts.find(code);
    if (found != m_errorTexts.end())
        return LimitText(found->second, MIDI_ERROR_TEXT_MAX);
    switch (code) {
    case ERR_BAD_DEVICE_ID: return "There is no MIDI port with this device id.";
    case ERR_NOT_OPEN: return "The MIDI input is not open.";
    case ERR_NOT_READABLE: return "This MIDI port only sends: nothing can be received through it.";
    case ERR_PORT_GONE: return "The MIDI port is no longer there; it may have been unplugged.";
    default: return "Unknown test error " + std::to_string(code) + ".";
    }
}
