#include "SyxFormat.h"

unsigned int PackData(const unsigned char* data, unsigned int length, unsigned char* out)
{
    unsigned int pos = 0;
    unsigned int flagPos = 0;
    for (unsigned int t = 0; t < length; ++t) {
        const unsigned int bit = t % 7;
        if (bit == 0) {
            flagPos = pos;
            out[pos++] = 0;
        }
        out[pos++] = data[t] & 0x7F;
        if (data[t] & 0x80)
            out[flagPos] |= static_cast<unsigned char>(1u << bit);
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
