#pragma once
// One Korg MS2000 program as loaded from a dump: where it sat in the dump, a private copy of
// its data bytes and the display name of its source file.

#include <memory>
#include <string>
#include <string_view>

// Size of one program's unpacked data. Name in bytes 0-11, voice mode in bits 4-5 of byte 16,
// timbre 1 in bytes 38-145, timbre 2 in bytes 146-253.
constexpr unsigned int PROGRAM_DATA_SIZE = 254;

// Voice mode names, indexed by (byte 16 >> 4) & 3.
inline constexpr const char* VOICE_MODE_NAMES[4] = {"Single", "Split", "Dual", "Vocoder"};

class CSyxProgram
{
public:
    // Copies `length` bytes from `data` into a block of its own, and the file name. The record
    // never changes afterwards.
    CSyxProgram(char bank, int number, const unsigned char* data, unsigned int length,
                const std::string& fileName);
    // The same, but the bytes are copied into `storage` (`length` bytes), which the caller
    // keeps for as long as the record lives: the records of a dump share one block.
    CSyxProgram(char bank, int number, const unsigned char* data, unsigned int length,
                const std::string& fileName, unsigned char* storage);
    ~CSyxProgram();

    CSyxProgram(const CSyxProgram&) = delete;
    CSyxProgram& operator=(const CSyxProgram&) = delete;

    // The texts the grid shows and the sort compares.
    std::string GetBankText() const;       // the bank letter, one character
    std::string GetNumberText() const;     // three digits with leading zeros: 001 to 016
    std::string GetName() const;           // name bytes up to the first NUL, trailing white space removed
    std::string GetVoiceModeName() const;  // "Single", "Split", "Dual" or "Vocoder"
    std::string GetFileName() const;

    const unsigned char* GetData() const { return m_data; }
    unsigned int GetLength() const { return m_length; }
    bool IsVocoder() const;

    // The same texts without a copy; valid as long as the record lives.
    std::string_view GetBankView() const { return std::string_view(&m_bank, 1); }
    std::string_view GetNumberView() const { return std::string_view(m_numberText, m_numberLength); }
    std::string_view GetNameView() const { return std::string_view(m_nameText, m_nameLength); }
    std::string_view GetVoiceModeView() const { return VOICE_MODE_NAMES[m_voiceMode]; }
    std::string_view GetFileNameView() const { return m_fileName; }

private:
    // Everything the sort reads lies in the first 64 bytes, one cache line, since a sort of a
    // large library touches every record many times. The texts are worked out once at
    // construction; the record never changes.
    char m_bank;
    unsigned char m_voiceMode;     // index into VOICE_MODE_NAMES
    unsigned char m_numberLength;
    unsigned char m_nameLength;
    int m_number;
    char m_numberText[12];         // "%03d" of any int fits
    char m_nameText[12];
    std::string m_fileName;

    unsigned int m_length;
    // The data lives outside the record, so that records stay small and a sort of a large
    // library walks through as little memory as it can.
    std::unique_ptr<unsigned char[]> m_ownData;  // null when the data lives in a shared block
    unsigned char* m_data;
};
