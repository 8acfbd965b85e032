#pragma once
// The key a sound is found by: SipHash-2-4 of its bytes with a 128-bit key of the Collection's
// own, made at random when the Collection is made. Without that key nobody can make a file
// whose sounds share keys, which would turn each lookup into a walk over all of them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CSqliteDb;

using SoundHashKey = std::array<unsigned char, 16>;

std::uint64_t SipHash24(const SoundHashKey& key, const unsigned char* bytes, std::size_t size);

// The Collection's key, read from collection_state. False when it has none or the read failed.
bool ReadSoundHashKey(CSqliteDb& db, SoundHashKey& key);
// Makes a new key at random and stores it; inside the caller's transaction.
bool MakeSoundHashKey(CSqliteDb& db, SoundHashKey& key, std::string& error);
