#include "SyxFormat.h"

unsigned int PackProgramMessage(const unsigned char* data, unsigned int length, int channel,
                                unsigned char* out, unsigned int outSize)
{
    const unsigned int messageSize = ProgramMessageSize(length);
    if (out == nullptr || outSize < messageSize || (data == nullptr && length > 0))
        return 0;

    unsigned int pos = 0;
    out[pos++] = SYX_START;
    out[pos++] = KORG_ID;
    out[pos++] = static_cast<unsigned char>(SYX_CHANNEL_BASE | (channel & 0x0F));
    out[pos++] = MS2000_MODEL_ID;
    out[pos++] = FUNC_CURRENT_PROGRAM;

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
    out[pos++] = SYX_END;
    return pos;
}
