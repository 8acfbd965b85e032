#pragma once
// What SQLite's shared index of a write-ahead log (the file "-shm" beside the database) says
// of the log: how many frames of it hold commits, and how many of those are already written
// back into the database file. The log's file is longer than that whenever it was once longer
// and has been started again from its beginning: SQLite reuses it rather than shorten it.

#include <cstdint>
#include <optional>
#include <string>

struct CWalIndexState {
    std::uint32_t frames = 0;     // the last frame of the last commit in the log
    std::uint32_t backfilled = 0; // frames already copied back into the database file
};

// The state as the index holds it now, or nothing when the index cannot be read or is being
// changed as it is read (a caller then falls back on the whole log). Read by a connection that
// holds a read transaction, the log cannot start again beneath it, and `frames` is at least
// as far as that transaction sees. Read in a child process, so that no lock of this process's
// connections on the index is lost.
std::optional<CWalIndexState> ReadWalIndex(const std::string& databasePath);

// Bytes of the log that hold `frames` frames of pages of `pageSize` bytes.
std::int64_t WalBytesOf(std::uint32_t frames, int pageSize);
