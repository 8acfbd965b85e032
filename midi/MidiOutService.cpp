#include "MidiOutService.h"

void IMidiOutService::Prepare(MidiOutHandle, const unsigned char*, unsigned int) {}

void IMidiOutService::Unprepare(MidiOutHandle, const unsigned char*, unsigned int) {}

std::string LimitText(const std::string& text, unsigned int maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::string::size_type end = maxBytes;
    // Step back over UTF-8 continuation bytes (10xxxxxx) so no character is split.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

int FindListedPort(IMidiOutService& out, const std::string& address, const std::string& productName,
                   CMidiOutCaps& caps)
{
    const unsigned int count = out.GetNumDevs();
    for (unsigned int id = 0; id < count; ++id) {
        if (out.GetDevCaps(id, caps) && caps.address == address && caps.productName == productName)
            return static_cast<int>(id);
    }
    return -1;
}
