#pragma once
// The 64-bit hash the Collection keys sounds and file contents by. It is stored in the
// database, so it must never change: every byte, in this order, on every machine.

#include <cstddef>
#include <cstdint>

// `seed` gives another, independent hash of the same bytes.
std::uint64_t ContentHash(const unsigned char* bytes, std::size_t size, std::uint64_t seed = 0);

struct CContentHashes {
    std::uint64_t first = 0;    // ContentHash(bytes, size, seed)
    std::uint64_t second = 0;   // ContentHash(bytes, size, otherSeed)
};

// Two hashes of the same bytes in one pass, each equal to ContentHash's with its seed.
CContentHashes ContentHashes(const unsigned char* bytes, std::size_t size, std::uint64_t seed, std::uint64_t otherSeed);
