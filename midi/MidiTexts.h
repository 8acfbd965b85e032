#pragma once
#include <cstddef>
#include <string>

// Pieces of the texts the receive and the bank send give the user.

// "1,234" for 1234: the sizes of a bank read better with a separator.
std::string FormatCount(std::size_t count);
// "10 seconds", "1 second", "0.2 seconds".
std::string FormatSeconds(unsigned int ms);
// "Error: Failed to read from the MIDI port. " followed by the service's text.
std::string FormatReadError(const std::string& serviceText);
