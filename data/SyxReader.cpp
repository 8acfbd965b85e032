// Reading one SysEx dump file into the program list.

#include "ProgramList.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <memory>
#include <new>
#include <vector>

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

// The further bytes an all-data dump carries after its programs; none for the others.
unsigned int TrailerSize(const unsigned char* header)
{
    return header[4] == FUNC_ALL_DATA_DUMP ? ALL_DATA_TRAILER_SIZE : 0;
}

// Whether the bytes after the header hold a complete message: the packed data free of end
// bytes (an end byte there stops the data short of the expected programs), the further bytes
// of an all-data dump (any values), and the end byte right after them. Every way a byte-wise
// read of such a message can go wrong - an end byte too early, the file ending early, a wrong
// byte where the end byte belongs - fails one of these tests, so the file is judged before a
// single record is made.
bool IsCompleteBody(const unsigned char* body, unsigned int bodyRead, unsigned int packedSize,
                    unsigned int trailerSize)
{
    const unsigned int endPos = packedSize + trailerSize;
    return bodyRead > endPos && body[endPos] == SYX_END
        && std::memchr(body, SYX_END, packedSize) == nullptr;
}

// For each flag value, the bytes to XOR over a group's seven data bytes: 0x80 at byte k when
// flag bit k is set. Adding 128 modulo 256 is the same as flipping bit 7.
struct CFlagMasks {
    unsigned char masks[128][8] = {};
    constexpr CFlagMasks()
    {
        for (unsigned int flags = 0; flags < 128; ++flags)
            for (unsigned int k = 0; k < 7; ++k)
                masks[flags][k] = static_cast<unsigned char>(((flags >> k) & 1u) << 7);
    }
};
constexpr CFlagMasks FLAG_MASKS;

// Unpacks `length` data bytes from the packed form at `bytes`, writing them over the packed
// form from its start (each group lands before the bytes still to be read), and returns
// `bytes`. A flag byte comes before each group of seven data bytes; its bit k gives bit 7 of
// the group's k-th byte by adding 128 modulo 256, so a raw 0x80 with its flag set gives 0.
// Groups run on across program boundaries. At least one byte must follow the packed form.
unsigned char* UnpackInPlace(unsigned char* bytes, unsigned int length)
{
    const unsigned char* in = bytes;
    unsigned char* out = bytes;
    unsigned int left = length;
    // A whole group at a time: its seven data bytes plus the byte after them as one word,
    // written back whole. Its eighth byte lands where the next group's first byte goes (past
    // the last group, inside the packed form), never on a byte still to be read.
    while (left >= 7) {
        std::uint64_t group;
        std::uint64_t mask;
        std::memcpy(&group, in + 1, sizeof group);
        std::memcpy(&mask, FLAG_MASKS.masks[in[0] & 0x7F], sizeof mask);
        group ^= mask;
        std::memcpy(out, &group, sizeof group);
        in += 8;
        out += 7;
        left -= 7;
    }
    if (left > 0) {
        const unsigned char* mask = FLAG_MASKS.masks[in[0] & 0x7F];
        for (unsigned int k = 0; k < left; ++k)
            out[k] = static_cast<unsigned char>(in[1 + k] ^ mask[k]);
    }
    return bytes;
}

} // namespace

// Judges a message whose first SYX_HEADER_SIZE bytes are `header` and whose following bytes
// (at most MAX_BODY_SIZE of them) are in `body`, then appends its programs. `body` is
// unpacked in place.
int CProgramList::AppendDump(const unsigned char* header, unsigned char* body, unsigned int bodyRead,
                             std::string& error, const std::string& fileName)
{
    const unsigned int expected = ExpectedPrograms(header);
    if (expected == 0) {
        error = ERROR_NOT_SYX;
        return 0;
    }
    if (!IsCompleteBody(body, bodyRead, PackedSize(expected * PROGRAM_DATA_SIZE), TrailerSize(header))) {
        error = ERROR_CORRUPTED;
        return 0;
    }

    const unsigned char* data = UnpackInPlace(body, expected * PROGRAM_DATA_SIZE);
    // The records first, side by side, then their data.
    const std::size_t recordBytes = expected * sizeof(CSyxProgram);
    m_blocks.push_back(RecordBlock{
        std::unique_ptr<unsigned char[]>(new unsigned char[recordBytes + expected * PROGRAM_DATA_SIZE]), 0});
    RecordBlock& block = m_blocks.back();
    unsigned char* const dataArea = block.storage.get() + recordBytes;
    for (unsigned int i = 0; i < expected; ++i) {
        const char bank = static_cast<char>('A' + i / PROGRAMS_PER_BANK);
        const int number = static_cast<int>(i % PROGRAMS_PER_BANK) + 1;
        CSyxProgram* record = new (block.storage.get() + i * sizeof(CSyxProgram))
            CSyxProgram(bank, number, data + i * PROGRAM_DATA_SIZE, PROGRAM_DATA_SIZE, fileName,
                        dataArea + i * PROGRAM_DATA_SIZE);
        ++block.count;
        m_items.push_back(record);
    }
    return 1;
}

int CProgramList::ReadSyxFile(const std::string& path, std::string& error, std::string fileName)
{
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = ERROR_CANNOT_OPEN;
        return 0;
    }
    std::setvbuf(file.get(), nullptr, _IONBF, 0);  // the reads below are few and large

    unsigned char header[SYX_HEADER_SIZE] = {};
    std::fread(header, 1, SYX_HEADER_SIZE, file.get());
    // A folder opens like a file here and then fails to read: it can't be opened as a file.
    if (std::ferror(file.get())) {
        error = ERROR_CANNOT_OPEN;
        return 0;
    }
    // Only what a message with this header needs is read, nothing beyond its end byte.
    const unsigned int expected = ExpectedPrograms(header);
    unsigned char body[MAX_BODY_SIZE];
    const auto bodyRead = expected == 0 ? 0u : static_cast<unsigned int>(std::fread(
        body, 1, PackedSize(expected * PROGRAM_DATA_SIZE) + TrailerSize(header) + 1, file.get()));
    file.reset();
    return AppendDump(header, body, bodyRead, error, fileName);
}

int CProgramList::ReadSyxBytes(const unsigned char* bytes, std::size_t size, std::string& error,
                               std::string fileName)
{
    unsigned char header[SYX_HEADER_SIZE] = {};
    const std::size_t headerSize = std::min<std::size_t>(size, SYX_HEADER_SIZE);
    std::copy(bytes, bytes + headerSize, header);
    const std::size_t bodyRead = std::min<std::size_t>(size - headerSize, MAX_BODY_SIZE);
    // A large body lives on the heap: this may run on a worker thread with a small stack.
    std::vector<unsigned char> body(bytes + headerSize, bytes + headerSize + bodyRead);
    body.resize(MAX_BODY_SIZE);
    return AppendDump(header, body.data(), static_cast<unsigned int>(bodyRead), error, fileName);
}
