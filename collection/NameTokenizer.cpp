#include "NameTokenizer.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstring>

const char* const NAME_TOKENIZER = "veltrix_names";

namespace {

// The trigrams already given for the document in hand, as up to 7 bytes and their length
// packed in one number (a folded name's characters are at most two bytes each); longer ones
// are given each time. Open addressing in a table far larger than a source's 1,280 trigrams.
class CTrigramSet
{
public:
    // Whether `key` was not in the set (and is now).
    bool Add(std::uint64_t key)
    {
        std::uint32_t slot = static_cast<std::uint32_t>((key * 0x9E3779B97F4A7C15ull) >> 52);
        while (m_keys[slot] != 0) {
            if (m_keys[slot] == key)
                return false;
            slot = (slot + 1) & (SLOTS - 1);
        }
        m_keys[slot] = key;
        if (++m_count == SLOTS / 2)
            Clear();   // a longer document starts afresh: a repeat after it is given again
        return true;
    }
    void Clear()
    {
        std::memset(m_keys, 0, sizeof m_keys);
        m_count = 0;
    }

private:
    static constexpr std::uint32_t SLOTS = 4096;
    std::uint64_t m_keys[SLOTS] = {};
    std::uint32_t m_count = 0;
};

std::uint64_t PackedTrigram(const char* bytes, int size)
{
    std::uint64_t key = static_cast<std::uint64_t>(size) << 56;
    for (int i = 0; i < size; ++i)
        key |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return key;
}

bool StartsCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

// Gives every trigram of the line [start, end).
int TokenizeLine(const char* text, int start, int end, bool once, CTrigramSet& seen, void* context,
                 int (*token)(void*, int, const char*, int, int, int))
{
    // The starts of the last three characters seen, and of the one after them.
    int starts[4] = {};
    int count = 0;
    for (int at = start; at <= end; ++at) {
        if (at < end && !StartsCharacter(text[at]))
            continue;
        if (count < 4) {
            starts[count++] = at;
        } else {
            starts[0] = starts[1];
            starts[1] = starts[2];
            starts[2] = starts[3];
            starts[3] = at;
        }
        if (count < 4)
            continue;
        const int size = starts[3] - starts[0];
        if (once && size <= 7 && !seen.Add(PackedTrigram(text + starts[0], size)))
            continue;
        const int code = token(context, 0, text + starts[0], size, starts[0], starts[3]);
        if (code != SQLITE_OK)
            return code;
    }
    return SQLITE_OK;
}

int Create(void*, const char**, int, Fts5Tokenizer** out)
{
    *out = reinterpret_cast<Fts5Tokenizer*>(new CTrigramSet);
    return SQLITE_OK;
}

void Delete(Fts5Tokenizer* tokenizer)
{
    delete reinterpret_cast<CTrigramSet*>(tokenizer);
}

int Tokenize(Fts5Tokenizer* tokenizer, void* context, int flags, const char* text, int size,
             int (*token)(void*, int, const char*, int, int, int))
{
    CTrigramSet& seen = *reinterpret_cast<CTrigramSet*>(tokenizer);
    const bool once = (flags & FTS5_TOKENIZE_DOCUMENT) != 0;
    if (once)
        seen.Clear();
    int start = 0;
    for (int at = 0; at <= size; ++at) {
        if (at < size && text[at] != '\n')
            continue;
        const int code = TokenizeLine(text, start, at, once, seen, context, token);
        if (code != SQLITE_OK)
            return code;
        start = at + 1;
    }
    return SQLITE_OK;
}

fts5_api* Fts5Api(sqlite3* db)
{
    fts5_api* api = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &statement, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
        sqlite3_step(statement);
    }
    sqlite3_finalize(statement);
    return api;
}

} // namespace

bool RegisterNameTokenizer(sqlite3* db)
{
    fts5_api* api = Fts5Api(db);
    if (api == nullptr)
        return false;
    fts5_tokenizer tokenizer = {Create, Delete, Tokenize};
    return api->xCreateTokenizer(api, NAME_TOKENIZER, nullptr, &tokenizer, nullptr) == SQLITE_OK;
}
