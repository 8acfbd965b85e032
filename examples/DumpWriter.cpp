#include "DumpWriter.h"

#include "SyxFormat.h"

#include <cstddef>

std::vector<unsigned char> BuildDumpMessage(unsigned char function,
                                            const std::vector<std::vector<unsigned char>>& programs)
{
    std::vector<unsigned char> message = {SYX_START, KORG_ID, SYX_CHANNEL_BASE, MS2000_MODEL_ID, function};
    // Groups of seven run across program boundaries, so the bytes are packed as one stream.
    unsigned int t = 0;
    std::size_t flagPos = 0;
    for (const std::vector<unsigned char>& program : programs) {
        for (unsigned char byte : program) {
            if (t % 7 == 0) {
                flagPos = message.size();
                message.push_back(0);
            }
            message.push_back(byte & 0x7F);
            if (byte & 0x80)
                message[flagPos] |= static_cast<unsigned char>(1u << (t % 7));
            ++t;
        }
    }
    if (function == FUNC_ALL_DATA_DUMP)
        message.insert(message.end(), ALL_DATA_TRAILER_SIZE, 0);
    message.push_back(SYX_END);
    return message;
}
