#include "ContentHash.h"

#include <cstring>

namespace {

constexpr std::uint64_t MULTIPLIER = 0x9E3779B97F4A7C15ull;

// Up to eight bytes as a little-endian word, whatever the machine's own order.
std::uint64_t LoadWord(const unsigned char* bytes, std::size_t count)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (count == 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes, 8);
        return word;
    }
#endif
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < count; ++i)
        word |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return word;
}

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word)
{
    hash = (hash ^ word) * MULTIPLIER;
    return hash ^ (hash >> 29);
}

// The finalizer of splitmix64: every input bit reaches every output bit.
std::uint64_t Finish(std::uint64_t hash)
{
    hash ^= hash >> 30;
    hash *= 0xBF58476D1CE4E5B9ull;
    hash ^= hash >> 27;
    hash *= 0x94D049BB133111EBull;
    return hash ^ (hash >> 31);
}

std::uint64_t Start(std::size_t size, std::uint64_t seed)
{
    return Finish(0x243F6A8885A308D3ull + seed) ^ (static_cast<std::uint64_t>(size) * MULTIPLIER);
}

} // namespace

std::uint64_t ContentHash(const unsigned char* bytes, std::size_t size, std::uint64_t seed)
{
    std::uint64_t hash = Start(size, seed);
    std::size_t offset = 0;
    for (; offset + 8 <= size; offset += 8)
        hash = Mix(hash, LoadWord(bytes + offset, 8));
    if (offset < size)
        hash = Mix(hash, LoadWord(bytes + offset, size - offset));
    return Finish(hash);
}

CContentHashes ContentHashes(const unsigned char* bytes, std::size_t size, std::uint64_t seed, std::uint64_t otherSeed)
{
    // Two chains in one loop: each word is loaded once, and the processor multiplies for both
    // at once, where two passes would wait on one multiplication after another twice over.
    std::uint64_t first = Start(size, seed);
    std::uint64_t second = Start(size, otherSeed);
    std::size_t offset = 0;
    for (; offset + 8 <= size; offset += 8) {
        const std::uint64_t word = LoadWord(bytes + offset, 8);
        first = Mix(first, word);
        second = Mix(second, word);
    }
    if (offset < size) {
        const std::uint64_t word = LoadWord(bytes + offset, size - offset);
        first = Mix(first, word);
        second = Mix(second, word);
    }
    return {Finish(first), Finish(second)};
}
