#include "MidiTexts.h"

std::string FormatCount(std::size_t count)
{
    std::string digits = std::to_string(count);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

std::string FormatSeconds(unsigned int ms)
{
    if (ms % 1000 == 0)
        return std::to_string(ms / 1000) + (ms == 1000 ? " second" : " seconds");
    return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " seconds";
}

std::string FormatReadError(const std::string& serviceText)
{
    return "Error: Failed to read from the MIDI port. " + serviceText;
}
