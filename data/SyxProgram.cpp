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

// Name bytes up to the first NUL (all twelve when none is), without trailing white space.
// A record shorter than the name field only offers the bytes it has.
std::string NameFromData(const unsigned char* data, unsigned int length)
{
    const unsigned int available = length < NAME_SIZE ? length : NAME_SIZE;
    unsigned int end = 0;
    while (end < available && data[end] != 0)
        ++end;
    while (end > 0 && IsTrailingSpace(static_cast<char>(data[end - 1])))
        --end;
    return std::string(reinterpret_cast<const char*>(data), end);
}

// "%03d"; the three-digit case by hand, since it is the only one records from dumps have and
// it is made for every record read.
std::string FormatNumber(int number)
{
    if (number >= 0 && number <= 999) {
        const char text[3] = {static_cast<char>('0' + number / 100), static_cast<char>('0' + number / 10 % 10),
                              static_cast<char>('0' + number % 10)};
        return std::string(text, 3);
    }
    char text[16];
    std::snprintf(text, sizeof text, "%03d", number);
    return text;
}

} // namespace

CSyxProgram::CSyxProgram(char bank, int number, const unsigned char* data, unsigned int length,
                         const std::string& fileName)
    : m_bank(bank),
      m_number(number),
      m_data(new unsigned char[length]),
      m_length(length),
      m_fileName(fileName)
{
    if (data != nullptr && length > 0)
        std::memcpy(m_data.get(), data, length);
    else if (length > 0)
        std::memset(m_data.get(), 0, length);

    m_numberText = FormatNumber(m_number);
    m_nameText = NameFromData(m_data.get(), m_length);
    m_voiceMode = m_length > VOICE_MODE_BYTE ? (m_data[VOICE_MODE_BYTE] >> 4) & 3 : 0;
}

CSyxProgram::~CSyxProgram() = default;

std::string CSyxProgram::GetBankText() const { return std::string(1, m_bank); }
std::string CSyxProgram::GetNumberText() const { return m_numberText; }
std::string CSyxProgram::GetName() const { return m_nameText; }
std::string CSyxProgram::GetVoiceModeName() const { return VOICE_MODE_NAMES[m_voiceMode]; }
std::string CSyxProgram::GetFileName() const { return m_fileName; }

bool CSyxProgram::IsVocoder() const
{
    return m_voiceMode == 3;
}
