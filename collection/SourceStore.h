#pragma once
// How a source is kept: per slot the program's id and the name bytes as taken in, and its
// bytes only when they are not exactly the dump rebuilt from its programs (see
// CollectionSchema.cpp).

#include <array>
#include <cstdint>
#include <vector>

class CSqliteDb;

struct CSourceSlot {
    std::int64_t program = 0;
    std::array<unsigned char, 12> name{};
};

std::vector<unsigned char> EncodeSlots(const std::vector<CSourceSlot>& slots);
std::vector<CSourceSlot> DecodeSlots(const unsigned char* blob, std::size_t size);

// The source's bytes exactly as taken in. False for an unknown source or a failure of the
// database.
bool ReadSourceBytes(CSqliteDb& db, std::int64_t source, std::vector<unsigned char>& bytes);
