// Reading one SysEx dump file into the program list.

#include "ProgramList.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

const char* const ERROR_CANNOT_OPEN = "Cannot open file";
const char* const ERROR_NOT_SYX = "File is not a valid Korg Syx File";
const char* const ERROR_CORRUPTED = "Failed to read file, patch data appears to be corrupted";

constexpr unsigned int PROGRAMS_PER_BANK = 16;
constexpr unsigned int BANK_DUMP_PROGRAMS = 128;

// The most the reader ever looks at after the header: the packed data of 128 programs, the
// further bytes of an all-data dump and the end byte. Nothing beyond is read.
constexpr unsigned int MAX_BODY_SIZE =
    PackedSize(BANK_DUMP_PROGRAMS * PROGRAM_DATA_SIZE) + ALL_DATA_TRAILER_SIZE + 1;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Number of programs a message with this header holds, 0 when the header is not an MS2000
// program dump. The channel nibble is not looked at.
unsigned int ExpectedPrograms(const unsigned char* header)
{
    if (header[0] != SYX_START || header[1] != KORG_ID || (header[2] & 0xF0) != SYX_CHANNEL_BASE
        || header[3] != MS2000_MODEL_ID)
        return 0;
    if (header[4] == FUNC_CURRENT_PROGRAM)
        return 1;
    if (header[4] == FUNC_PROGRAM_DUMP || header[4] == FUNC_ALL_DATA_DUMP)
        return BANK_DUMP_PROGRAMS;
    return 0;
}

// The bytes of the file after the header, read like a stream: reading past the end gives 0 and
// leaves the reader failed for good.
class CByteSource
{
public:
    CByteSource(const unsigned char* bytes, unsigned int size) : m_bytes(bytes), m_size(size) {}

    unsigned char Next()
    {
        if (m_pos < m_size)
            return m_bytes[m_pos++];
        m_failed = true;
        return 0;
    }
    void Skip(unsigned int count)
    {
        if (m_size - m_pos < count) {
            m_pos = m_size;
            m_failed = true;
        } else {
            m_pos += count;
        }
    }
    bool Failed() const { return m_failed; }

private:
    const unsigned char* m_bytes;
    unsigned int m_size;
    unsigned int m_pos = 0;
    bool m_failed = false;
};

} // namespace

int CProgramList::ReadSyxFile(const std::string& path, std::string& error, std::string fileName)
{
    // A directory opens like a file on some systems and then fails to read; it is no file.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = ERROR_CANNOT_OPEN;
        return 0;
    }
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = ERROR_CANNOT_OPEN;
        return 0;
    }
    std::setvbuf(file.get(), nullptr, _IONBF, 0);  // the reads below are few and large

    unsigned char header[SYX_HEADER_SIZE] = {};
    std::fread(header, 1, SYX_HEADER_SIZE, file.get());
    if (std::ferror(file.get())) {
        error = ERROR_CANNOT_OPEN;
        return 0;
    }
    const unsigned int expected = ExpectedPrograms(header);
    if (expected == 0) {
        error = ERROR_NOT_SYX;
        return 0;
    }

    const bool hasTrailer = header[4] == FUNC_ALL_DATA_DUMP;
    const unsigned int bodySize =
        PackedSize(expected * PROGRAM_DATA_SIZE) + (hasTrailer ? ALL_DATA_TRAILER_SIZE : 0) + 1;
    unsigned char body[MAX_BODY_SIZE];
    const auto bodyRead = static_cast<unsigned int>(std::fread(body, 1, bodySize, file.get()));
    file.reset();

    // Unpack: a flag byte before each group of seven data bytes, its bit k restoring bit 7 of
    // the group's k-th byte. Groups run on across program boundaries.
    CByteSource source(body, bodyRead);
    const int sizeBefore = GetSize();
    m_items.reserve(m_items.size() + expected);
    unsigned char program[PROGRAM_DATA_SIZE];
    unsigned int programs = 0;
    unsigned int pos = 0;
    unsigned int group = 0;
    unsigned char flags = 0;
    while (!source.Failed() && programs < expected) {
        const unsigned char b = source.Next();
        if (b == SYX_END)
            break;
        if (group == 0) {
            flags = b;
        } else {
            program[pos++] = (flags & 1) ? static_cast<unsigned char>(b + 128) : b;
            flags >>= 1;
        }
        group = (group + 1) % 8;
        if (pos == PROGRAM_DATA_SIZE) {
            const char bank = static_cast<char>('A' + programs / PROGRAMS_PER_BANK);
            const int number = static_cast<int>(programs % PROGRAMS_PER_BANK) + 1;
            m_items.push_back(new CSyxProgram(bank, number, program, PROGRAM_DATA_SIZE, fileName));
            ++programs;
            pos = 0;
        }
    }

    if (hasTrailer)
        source.Skip(ALL_DATA_TRAILER_SIZE);
    if (!source.Failed() && source.Next() == SYX_END && programs == expected)
        return 1;

    error = ERROR_CORRUPTED;
    DeleteFrom(sizeBefore);
    return 0;
}
