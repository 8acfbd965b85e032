// The index's layout is SQLite's documented WAL-index format: two copies of a 48-byte header
// (the writer updates the second, then the first, so a reader that finds them equal read a
// whole one), then the checkpoint's state. Numbers are in the machine's own byte order, as the
// index is shared memory and never leaves the machine.

#include "WalIndex.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

// Reads the index's state in this process: async-signal-safe calls only, for a child.
bool ReadIndexHere(const char* indexPath, CWalIndexState& state)
{
    const int index = open(indexPath, O_RDONLY | O_CLOEXEC);
    if (index < 0)
        return false;
    bool found = false;
    unsigned char bytes[BACKFILL_AT + sizeof(std::uint32_t)];
    for (int attempt = 0; attempt < TRIES && !found; ++attempt) {
        if (pread(index, bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
            break;
        if (std::memcmp(bytes, bytes + HEADER_BYTES, HEADER_BYTES) != 0)
            continue;   // a commit is writing it: read it again
        if (NumberAt(bytes, VERSION_AT) != INDEX_VERSION || bytes[INITIALIZED_AT] != 1)
            break;
        state.frames = NumberAt(bytes, MAX_FRAME_AT);
        state.backfilled = NumberAt(bytes, BACKFILL_AT);
        found = state.backfilled <= state.frames;
    }
    close(index);
    return found;
}

} // namespace

std::optional<CWalIndexState> ReadWalIndex(const std::string& databasePath)
{
    // Read by a child process: closing a descriptor of the index here would end every lock
    // this process holds on it, SQLite's among them (a reader's hold on the log, which keeps
    // it from being written back past the reader's view or started again; a writer's lock),
    // and SQLite would go on as if it held them.
    const std::string indexPath = databasePath + "-shm";
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        // The state is told only when it was read; a write this small reaches the pipe whole.
        close(ends[0]);
        CWalIndexState state;
        const bool told = ReadIndexHere(indexPath.c_str(), state)
                          && write(ends[1], &state, sizeof state) == static_cast<ssize_t>(sizeof state);
        _exit(told ? 0 : 1);
    }
    close(ends[1]);
    CWalIndexState state;
    ssize_t got = -1;
    while (child > 0 && (got = read(ends[0], &state, sizeof state)) < 0 && errno == EINTR) {
    }
    close(ends[0]);
    while (child > 0 && waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (got != static_cast<ssize_t>(sizeof state))
        return std::nullopt;
    return state;
}

std::int64_t WalBytesOf(std::uint32_t frames, int pageSize)
{
    return frames == 0 ? 0 : LOG_HEADER_BYTES + static_cast<std::int64_t>(frames) * (FRAME_HEADER_BYTES + pageSize);
}
