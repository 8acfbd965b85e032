#include "ReferenceReader.h"

#include "SyxFormat.h"
#include "SyxProgram.h"

namespace {

// A byte stream over the input that fails, and yields 0, once read past its end.
class CByteStream
{
public:
    CByteStream(const unsigned char* bytes, size_t size) : m_bytes(bytes), m_size(size) {}
    unsigned char Get()
    {
        if (m_pos >= m_size) {
            m_failed = true;
            return 0;
        }
        return m_bytes[m_pos++];
    }
    bool Failed() const { return m_failed; }

private:
    const unsigned char* m_bytes;
    size_t m_size;
    size_t m_pos = 0;
    bool m_failed = false;
};

} // namespace

ReferenceResult ReadReference(const unsigned char* bytes, size_t size)
{
    ReferenceResult out;
    unsigned char header[SYX_HEADER_SIZE] = {};
    for (size_t i = 0; i < SYX_HEADER_SIZE && i < size; ++i)
        header[i] = bytes[i];

    unsigned int expected = 0;
    if (header[0] == SYX_START && header[1] == KORG_ID && (header[2] & 0xF0) == SYX_CHANNEL_BASE
        && header[3] == MS2000_MODEL_ID) {
        if (header[4] == FUNC_CURRENT_PROGRAM)
            expected = 1;
        else if (header[4] == FUNC_PROGRAM_DUMP || header[4] == FUNC_ALL_DATA_DUMP)
            expected = 128;
    }
    if (expected == 0) {
        out.error = "File is not a valid Korg Syx File";
        return out;
    }

    CByteStream stream(bytes, size);
    for (size_t i = 0; i < SYX_HEADER_SIZE; ++i)
        stream.Get();

    std::vector<unsigned char> program(PROGRAM_DATA_SIZE);
    unsigned int done = 0;
    unsigned int j = 0;
    unsigned int k = 0;
    unsigned int flags = 0;
    while (!stream.Failed() && done < expected) {
        const unsigned char b = stream.Get();
        if (b == SYX_END)
            break;
        if (k == 0) {
            flags = b;
        } else {
            program[j++] = (flags & 1u) ? static_cast<unsigned char>(b + 128) : b;
            flags >>= 1;
        }
        k = (k + 1) % 8;
        if (j == PROGRAM_DATA_SIZE) {
            out.programs.push_back(program);
            ++done;
            j = 0;
        }
    }
    if (header[4] == FUNC_ALL_DATA_DUMP)
        for (unsigned int i = 0; i < ALL_DATA_TRAILER_SIZE; ++i)
            stream.Get();
    if (!stream.Failed() && stream.Get() == SYX_END && !stream.Failed() && done == expected) {
        out.result = 1;
        return out;
    }
    out.error = "Failed to read file, patch data appears to be corrupted";
    out.programs.clear();
    return out;
}
