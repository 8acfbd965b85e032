#include "SyxProgram.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned int NAME_SIZE = 12;
constexpr unsigned int VOICE_MODE_BYTE = 16;

bool IsTrailingSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Length of the name: bytes up to the first NUL (all twelve when none is), without trailing
// white space. A record shorter than the name field only offers the bytes it has.
unsigned int NameLength(const unsigned char* data, unsigned int length)
{
    const unsigned int available = length < NAME_SIZE ? length : NAME_SIZE;
    unsigned int end = 0;
    while (end < available && data[end] != 0)
        ++end;
    while (end > 0 && IsTrailingSpace(static_cast<char>(data[end - 1])))
        --end;
    return end;
}

// Writes "%03d" of `number` into `text` (at least 12 bytes) and returns its length. The
// three-digit case is done by hand: every record from a dump has it, and it is made per record.
unsigned int FormatNumber(int number, char* text)
{
    if (number >= 0 && number <= 999) {
        text[0] = static_cast<char>('0' + number / 100);
        text[1] = static_cast<char>('0' + number / 10 % 10);
        text[2] = static_cast<char>('0' + number % 10);
        return 3;
    }
    char buffer[16];
    const int length = std::snprintf(buffer, sizeof buffer, "%03d", number);
    std::memcpy(text, buffer, static_cast<size_t>(length));
    return static_cast<unsigned int>(length);
}

} // namespace

CSyxProgram::CSyxProgram(char bank, int number, const unsigned char* data, unsigned int length,
                         const std::string& fileName)
    : CSyxProgram(bank, number, data, length, fileName, nullptr)
{
}

CSyxProgram::CSyxProgram(char bank, int number, const unsigned char* data, unsigned int length,
                         const std::string& fileName, unsigned char* storage)
    : m_bank(bank),
      m_number(number),
      m_fileName(fileName),
      m_length(length),
      m_ownData(storage == nullptr ? new unsigned char[length] : nullptr),
      m_data(storage == nullptr ? m_ownData.get() : storage)
{
    unsigned char* bytes = m_data;
    if (data != nullptr && length > 0)
        std::memcpy(bytes, data, length);
    else if (length > 0)
        std::memset(bytes, 0, length);

    m_numberLength = static_cast<unsigned char>(FormatNumber(m_number, m_numberText));
    m_nameLength = static_cast<unsigned char>(NameLength(bytes, m_length));
    std::memcpy(m_nameText, bytes, m_nameLength);
    m_voiceMode = m_length > VOICE_MODE_BYTE ? (bytes[VOICE_MODE_BYTE] >> 4) & 3 : 0;
}

CSyxProgram::~CSyxProgram() = default;

std::string CSyxProgram::GetBankText() const { return std::string(1, m_bank); }
std::string CSyxProgram::GetNumberText() const { return std::string(GetNumberView()); }
std::string CSyxProgram::GetName() const { return std::string(GetNameView()); }
std::string CSyxProgram::GetVoiceModeName() const { return VOICE_MODE_NAMES[m_voiceMode]; }
std::string CSyxProgram::GetFileName() const { return m_fileName; }

bool CSyxProgram::IsVocoder() const
{
    return m_voiceMode == 3;
}
