#include "TestMidiInService.h"

#include "MidiOutService.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

struct CTestMidiInService::Input : CMidiInDevice
{
    int fd = -1;
    std::vector<unsigned char> pending;
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
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Input* input : m_inputs) {
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
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_writeOnly.count(deviceId) != 0)
        return ERR_NOT_READABLE;
    auto* input = new Input;
    input->fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_inputs.insert(input);
    *handle = input;
    return 0;
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
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_readFailure != 0)
        return m_readFailure;
    bytes.insert(bytes.end(), input->pending.begin(), input->pending.end());
    input->pending.clear();
    Lower(input->fd);
    return 0;
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
    default: return "Unknown test error " + std::to_string(code) + ".";
    }
}
