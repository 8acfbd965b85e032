#include "SyxFormat.h"

unsigned int PackData(const unsigned char* data, unsigned int length, unsigned char* out)
{
    // A group at a time: the flag byte gathers the top bits, then the bytes without them.
    unsigned int pos = 0;
    unsigned int t = 0;
    for (; t + 7 <= length; t += 7) {
        const unsigned char* group = data + t;
        out[pos] = static_cast<unsigned char>((group[0] >> 7) | (group[1] >> 7) << 1 | (group[2] >> 7) << 2
                                              | (group[3] >> 7) << 3 | (group[4] >> 7) << 4
                                              | (group[5] >> 7) << 5 | (group[6] >> 7) << 6);
        for (unsigned int k = 0; k < 7; ++k)
            out[pos + 1 + k] = group[k] & 0x7F;
        pos += 8;
    }
    for (; t < length; t += 7) {
        const unsigned int count = length - t;
        unsigned int flags = 0;
        for (unsigned int k = 0; k < count; ++k) {
            flags |= static_cast<unsigned int>(data[t + k] >> 7) << k;
            out[pos + 1 + k] = data[t + k] & 0x7F;
        }
        out[pos] = static_cast<unsigned char>(flags);
        pos += count + 1;
    }
    return pos;
}

namespace {
unsigned int WriteHeader(unsigned char function, int channel, unsigned char* out)
{
    out[0] = SYX_START;
    out[1] = KORG_ID;
    out[2] = static_cast<unsigned char>(SYX_CHANNEL_BASE | (channel & 0x0F));
    out[3] = MS2000_MODEL_ID;
    out[4] = function;
    return SYX_HEADER_SIZE;
}
}  // namespace

std::vector<unsigned char> BuildDumpMessage(unsigned char function, int channel, const unsigned char* data,
                                            unsigned int length, const unsigned char* trailer,
                                            unsigned int trailerLength)
{
    std::vector<unsigned char> message(SYX_HEADER_SIZE + PackedSize(length) + trailerLength + 1);
    unsigned int pos = WriteHeader(function, channel, message.data());
    pos += PackData(data, length, message.data() + pos);
    for (unsigned int i = 0; i < trailerLength; ++i)
        message[pos++] = trailer[i];
    message[pos] = SYX_END;
    return message;
}

unsigned int PackProgramMessage(const unsigned char* data, unsigned int length, int channel,
                                unsigned char* out, unsigned int outSize)
{
    const unsigned int messageSize = ProgramMessageSize(length);
    if (out == nullptr || outSize < messageSize || (data == nullptr && length > 0))
        return 0;

    unsigned int pos = WriteHeader(FUNC_CURRENT_PROGRAM, channel, out);
    pos += PackData(data, length, out + pos);
    out[pos++] = SYX_END;
    return pos;
}
