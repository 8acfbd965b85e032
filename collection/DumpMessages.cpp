#include "DumpMessages.h"

#include "ProgramList.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <cstring>

namespace {

bool IsProgramMessage(const unsigned char* message, std::size_t size)
{
    return size > SYX_HEADER_SIZE && message[1] == KORG_ID && (message[2] & 0xF0) == SYX_CHANNEL_BASE
        && message[3] == MS2000_MODEL_ID
        && (message[4] == FUNC_CURRENT_PROGRAM || message[4] == FUNC_PROGRAM_DUMP || message[4] == FUNC_ALL_DATA_DUMP);
}

// Where the next message from `at` lies: from its start byte to one past its end byte, or to
// the end of the bytes when it is cut short. memchr looks through a dump many bytes at a
// time. False when no start byte is left.
struct CMessageSpan {
    std::size_t begin = 0;
    std::size_t stop = 0;
    bool complete = false;
};

bool NextMessage(const unsigned char* bytes, std::size_t size, std::size_t at, CMessageSpan& span)
{
    const void* start = at < size ? std::memchr(bytes + at, SYX_START, size - at) : nullptr;
    if (start == nullptr)
        return false;
    span.begin = static_cast<std::size_t>(static_cast<const unsigned char*>(start) - bytes);
    const void* end = std::memchr(bytes + span.begin + 1, SYX_END, size - span.begin - 1);
    span.complete = end != nullptr;
    span.stop = span.complete ? static_cast<std::size_t>(static_cast<const unsigned char*>(end) - bytes) + 1 : size;
    return true;
}

} // namespace

int CountMessages(const unsigned char* bytes, std::size_t size)
{
    // Each end byte after a start byte closes one message; a start byte again before the end
    // only begins the same message over.
    int count = 0;
    CMessageSpan span;
    for (std::size_t at = 0; NextMessage(bytes, size, at, span) && span.complete; at = span.stop)
        ++count;
    return count;
}

bool ReadDumpMessages(const unsigned char* bytes, std::size_t size, CProgramList& programs, CDumpMessages& found,
                      std::string& error)
{
    found = CDumpMessages();
    // A file that does not begin with a message gets the reader's own word for it.
    if (size == 0 || bytes[0] != SYX_START)
        return programs.ReadSyxBytes(bytes, size, error, std::string()) != 0 && (found.messages = 1, true);

    CMessageSpan span;
    for (std::size_t at = 0; NextMessage(bytes, size, at, span); at = span.stop) {
        const unsigned char* message = bytes + span.begin;
        const std::size_t length = span.stop - span.begin;
        const bool complete = span.complete;
        if (complete)
            ++found.messages;
        // A program message cut short is read too, so that the reader says what is wrong.
        if (IsProgramMessage(message, length)) {
            const int before = programs.GetSize();
            if (!programs.ReadSyxBytes(message, length, error, std::string())) {
                if (found.programMessages > 0 || found.messages > 1)
                    error = "Message " + std::to_string(found.messages + (complete ? 0 : 1)) + " of the file: " + error;
                return false;
            }
            ++found.programMessages;
            if (message[4] == FUNC_ALL_DATA_DUMP && found.globalBlock.empty()) {
                const std::size_t trailer = SYX_HEADER_SIZE
                    + PackedSize(static_cast<unsigned int>(programs.GetSize() - before) * PROGRAM_DATA_SIZE);
                found.globalBlock.assign(message + trailer, message + trailer + ALL_DATA_TRAILER_SIZE);
            }
        }
    }
    if (found.programMessages == 0) {
        // No message held programs: the reader says why, of the first.
        programs.ReadSyxBytes(bytes, size, error, std::string());
        if (error.empty())
            error = "File is not a valid Korg Syx File";
        return false;
    }
    return true;
}
