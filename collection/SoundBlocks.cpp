#include "SoundBlocks.h"

#include "SqliteDb.h"

#include <algorithm>

namespace {

// About 4 KB a block: a row fits in one page of the smallest page size a Collection has, and
// a lookup reads one such row.
constexpr std::size_t BLOCK_PAIRS = 240;
constexpr std::size_t PAIR_SIZE = 16;

void PutInt(unsigned char* at, std::int64_t value)
{
    const auto bits = static_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i)
        at[i] = static_cast<unsigned char>(bits >> (8 * i));
}

std::int64_t GetInt(const unsigned char* at)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    return static_cast<std::int64_t>(bits);
}

void Decode(const unsigned char* bytes, std::size_t size, std::vector<SoundPair>& pairs)
{
    pairs.clear();
    for (std::size_t at = 0; at + PAIR_SIZE <= size; at += PAIR_SIZE)
        pairs.emplace_back(GetInt(bytes + at), GetInt(bytes + at + 8));
}

bool InsertBlock(CSqliteDb& db, const SoundPair* first, const SoundPair* last)
{
    std::vector<unsigned char> bytes(PAIR_SIZE * static_cast<std::size_t>(last - first));
    for (const SoundPair* pair = first; pair != last; ++pair) {
        unsigned char* at = bytes.data() + PAIR_SIZE * static_cast<std::size_t>(pair - first);
        PutInt(at, pair->first);
        PutInt(at + 8, pair->second);
    }
    CSqliteQuery insert(db, "INSERT INTO sound_block(first_key, pairs) VALUES(?, ?)");
    return insert.Bind(1, first->first).BindBlob(2, bytes.data(), bytes.size()).Run();
}

// Writes sorted pairs as blocks of about equal size, none over BLOCK_PAIRS unless one key
// has more programs than that.
bool InsertBlocks(CSqliteDb& db, const std::vector<SoundPair>& pairs)
{
    if (pairs.empty())
        return true;
    const std::size_t blocks = (pairs.size() + BLOCK_PAIRS - 1) / BLOCK_PAIRS;
    const std::size_t each = (pairs.size() + blocks - 1) / blocks;
    std::size_t from = 0;
    while (from < pairs.size()) {
        std::size_t to = std::min(from + each, pairs.size());
        while (to < pairs.size() && pairs[to].first == pairs[to - 1].first)
            ++to;
        if (!InsertBlock(db, pairs.data() + from, pairs.data() + to))
            return false;
        from = to;
    }
    return true;
}

bool ReadBlock(CSqliteDb& db, std::int64_t firstKey, std::vector<SoundPair>& pairs)
{
    CSqliteQuery read(db, "SELECT pairs FROM sound_block WHERE first_key = ?");
    if (!read.Bind(1, firstKey).Next())
        return false;
    Decode(read.Blob(0), read.Size(0), pairs);
    return true;
}

bool KeyBelow(const SoundPair& pair, std::int64_t key)
{
    return pair.first < key;
}

} // namespace

bool FindSoundPairs(CSqliteDb& db, const std::vector<std::int64_t>& sortedKeys, std::vector<SoundPair>& found)
{
    std::vector<SoundPair> block;
    bool haveBlock = false;
    std::int64_t blockFirst = 0;
    for (std::size_t i = 0; i < sortedKeys.size(); ++i) {
        const std::int64_t key = sortedKeys[i];
        if (i > 0 && key == sortedKeys[i - 1])
            continue;
        // Keys after the block's last may still be in it; read again only when past it.
        if (!haveBlock || key < blockFirst || (!block.empty() && key > block.back().first)) {
            CSqliteQuery read(db, "SELECT first_key, pairs FROM sound_block WHERE first_key <= ?"
                                  " ORDER BY first_key DESC LIMIT 1");
            if (!read.Bind(1, key).Next()) {
                if (read.Failed())
                    return false;
                haveBlock = false;
                continue;   // below every key of the index
            }
            blockFirst = read.Int(0);
            Decode(read.Blob(1), read.Size(1), block);
            haveBlock = true;
        }
        for (auto at = std::lower_bound(block.begin(), block.end(), key, KeyBelow);
             at != block.end() && at->first == key; ++at)
            found.push_back(*at);
    }
    return true;
}

bool MergeSoundPairs(CSqliteDb& db, const std::vector<SoundPair>& sortedPairs)
{
    std::vector<std::int64_t> firsts;
    {
        CSqliteQuery read(db, "SELECT first_key FROM sound_block ORDER BY first_key");
        while (read.Next())
            firsts.push_back(read.Int(0));
        if (read.Failed())
            return false;
    }
    if (firsts.empty())
        return InsertBlocks(db, sortedPairs);
    // Each block takes the new keys up to the next block's first; the first block takes
    // those below it too.
    auto next = sortedPairs.begin();
    std::vector<SoundPair> block;
    std::vector<SoundPair> merged;
    for (std::size_t i = 0; i < firsts.size() && next != sortedPairs.end(); ++i) {
        const auto end = i + 1 < firsts.size() ? std::lower_bound(next, sortedPairs.end(), firsts[i + 1], KeyBelow)
                                               : sortedPairs.end();
        if (end == next)
            continue;
        if (!ReadBlock(db, firsts[i], block))
            return false;
        merged.clear();
        std::merge(block.begin(), block.end(), next, end, std::back_inserter(merged));
        CSqliteQuery remove(db, "DELETE FROM sound_block WHERE first_key = ?");
        if (!remove.Bind(1, firsts[i]).Run() || !InsertBlocks(db, merged))
            return false;
        next = end;
    }
    return true;
}

bool ForEachSoundKey(CSqliteDb& db, const std::function<void(std::int64_t key)>& each)
{
    CSqliteQuery read(db, "SELECT pairs FROM sound_block ORDER BY first_key");
    while (read.Next()) {
        const unsigned char* bytes = read.Blob(0);
        const std::size_t size = read.Size(0);
        for (std::size_t at = 0; at + PAIR_SIZE <= size; at += PAIR_SIZE)
            each(GetInt(bytes + at));
    }
    return !read.Failed();
}
