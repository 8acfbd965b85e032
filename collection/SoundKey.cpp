#include "SoundKey.h"

#include "SqliteDb.h"

#include <cstring>
#include <random>

namespace {

std::uint64_t Rotate(std::uint64_t x, int bits)
{
    return (x << bits) | (x >> (64 - bits));
}

std::uint64_t LittleEndian(const unsigned char* bytes, std::size_t count)
{
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < count; ++i)
        word |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return word;
}

struct CSipState {
    std::uint64_t v0, v1, v2, v3;
    void Round()
    {
        v0 += v1;
        v1 = Rotate(v1, 13);
        v1 ^= v0;
        v0 = Rotate(v0, 32);
        v2 += v3;
        v3 = Rotate(v3, 16);
        v3 ^= v2;
        v0 += v3;
        v3 = Rotate(v3, 21);
        v3 ^= v0;
        v2 += v1;
        v1 = Rotate(v1, 17);
        v1 ^= v2;
        v2 = Rotate(v2, 32);
    }
    void Absorb(std::uint64_t m)
    {
        v3 ^= m;
        Round();
        Round();
        v0 ^= m;
    }
};

} // namespace

std::uint64_t SipHash24(const SoundHashKey& key, const unsigned char* bytes, std::size_t size)
{
    const std::uint64_t k0 = LittleEndian(key.data(), 8);
    const std::uint64_t k1 = LittleEndian(key.data() + 8, 8);
    CSipState s{k0 ^ 0x736f6d6570736575ull, k1 ^ 0x646f72616e646f6dull, k0 ^ 0x6c7967656e657261ull,
                k1 ^ 0x7465646279746573ull};
    std::size_t offset = 0;
    for (; offset + 8 <= size; offset += 8)
        s.Absorb(LittleEndian(bytes + offset, 8));
    const std::uint64_t last = (static_cast<std::uint64_t>(size & 0xFF) << 56) | LittleEndian(bytes + offset, size - offset);
    s.Absorb(last);
    s.v2 ^= 0xFF;
    for (int i = 0; i < 4; ++i)
        s.Round();
    return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

bool ReadSoundHashKey(CSqliteDb& db, SoundHashKey& key)
{
    CSqliteQuery query(db, "SELECT value FROM collection_state WHERE key = 'sound_hash_key'");
    if (!query.Next() || query.Size(0) != key.size())
        return false;
    std::memcpy(key.data(), query.Blob(0), key.size());
    return true;
}

bool MakeSoundHashKey(CSqliteDb& db, SoundHashKey& key, std::string& error)
{
    std::random_device random;
    for (std::size_t i = 0; i < key.size(); i += 4) {
        const unsigned int word = random();
        for (std::size_t j = 0; j < 4; ++j)
            key[i + j] = static_cast<unsigned char>(word >> (8 * j));
    }
    CSqliteQuery store(db, "INSERT OR REPLACE INTO collection_state(key, value) VALUES('sound_hash_key', ?)");
    if (!store.BindBlob(1, key.data(), key.size()).Run()) {
        error = db.ErrorText();
        return false;
    }
    return true;
}
