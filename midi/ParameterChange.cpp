#include "ParameterChange.h"

#include "DumpRequest.h"
#include "SyxFormat.h"

void EncodeChangeValue(int value, unsigned char& low, unsigned char& high)
{
    const unsigned int bits = static_cast<unsigned int>(value) & 0x3FFF;
    low = static_cast<unsigned char>(bits & 0x7F);
    high = static_cast<unsigned char>(bits >> 7);
}

int DecodeChangeValue(unsigned char low, unsigned char high)
{
    const int bits = (low & 0x7F) | ((high & 0x7F) << 7);
    return (bits & 0x2000) != 0 ? bits - 0x4000 : bits;
}

CParameterChangeMessage BuildParameterChange(int channel, int number, int value)
{
    CParameterChangeMessage message{};
    message[0] = SYX_START;
    message[1] = KORG_ID;
    message[2] = static_cast<unsigned char>(SYX_CHANNEL_BASE | (channel & 0x0F));
    message[3] = MS2000_MODEL_ID;
    message[4] = FUNC_PARAMETER_CHANGE;
    message[5] = static_cast<unsigned char>(number & 0x7F);
    message[6] = static_cast<unsigned char>((number >> 7) & 0x7F);
    EncodeChangeValue(value, message[7], message[8]);
    message[9] = SYX_END;
    return message;
}

bool ParseParameterChange(const unsigned char* message, std::size_t length, int& channel, int& number, int& value)
{
    if (message == nullptr || length != PARAMETER_CHANGE_SIZE || message[0] != SYX_START || message[1] != KORG_ID
        || (message[2] & 0xF0) != SYX_CHANNEL_BASE || message[3] != MS2000_MODEL_ID
        || message[4] != FUNC_PARAMETER_CHANGE || message[9] != SYX_END)
        return false;
    for (std::size_t i = 5; i < 9; ++i)
        if (message[i] >= 0x80)
            return false;
    channel = message[2] & 0x0F;
    number = message[5] | (message[6] << 7);
    value = DecodeChangeValue(message[7], message[8]);
    return true;
}
