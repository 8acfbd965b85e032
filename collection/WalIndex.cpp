// The index's layout is SQLite's documented WAL-index format: two copies of a 48-byte header
// (the writer updates the second, then the first, so a reader that finds them equal read a
// whole one), then the checkpoint's state. Numbers are in the machine's own byte order, as the
// index is shared memory and never leaves the machine.

#include "WalIndex.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr std::size_t HEADER_BYTES = 48;
constexpr std::size_t VERSION_AT = 0;
constexpr std::size_t INITIALIZED_AT = 12;
constexpr std::size_t MAX_FRAME_AT = 16;
constexpr std::size_t BACKFILL_AT = 2 * HEADER_BYTES;
constexpr std::uint32_t INDEX_VERSION = 3007000;
constexpr std::int64_t LOG_HEADER_BYTES = 32;
constexpr std::int64_t FRAME_HEADER_BYTES = 24;
constexpr int TRIES = 100;

std::uint32_t NumberAt(const unsigned char* bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

} // namespace

std::optional<CWalIndexState> ReadWalIndex(const std::string& databasePath)
{
    const int index = open((databasePath + "-shm").c_str(), O_RDONLY | O_CLOEXEC);
    if (index < 0)
        return std::nullopt;
    std::optional<CWalIndexState> state;
    unsigned char bytes[BACKFILL_AT + sizeof(std::uint32_t)];
    for (int attempt = 0; attempt < TRIES && !state; ++attempt) {
        if (pread(index, bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
            break;
        if (std::memcmp(bytes, bytes + HEADER_BYTES, HEADER_BYTES) != 0)
            continue;   // a commit is writing it: read it again
        if (NumberAt(bytes, VERSION_AT) != INDEX_VERSION || bytes[INITIALIZED_AT] != 1)
            break;
        CWalIndexState read;
        read.frames = NumberAt(bytes, MAX_FRAME_AT);
        read.backfilled = NumberAt(bytes, BACKFILL_AT);
        if (read.backfilled <= read.frames)
            state = read;
    }
    close(index);
    return state;
}

std::int64_t WalBytesOf(std::uint32_t frames, int pageSize)
{
    return frames == 0 ? 0 : LOG_HEADER_BYTES + static_cast<std::int64_t>(frames) * (FRAME_HEADER_BYTES + pageSize);
}
