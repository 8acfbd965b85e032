#pragma once
// The order of shown names that searches give (SQLite's COLLATE NOCASE), in pieces a sort
// can compare quickly.

#include <cstddef>
#include <cstdint>
#include <string>

// Eight bytes of a name from `from` (zeros past its end), A-Z made small, as a number that
// compares as the bytes do.
std::uint64_t FoldedNameBytes(const unsigned char* name, std::size_t size, std::size_t from);
// COLLATE NOCASE: A-Z made small, bytes unsigned, then the shorter first.
int CompareNoCase(const std::string& a, const std::string& b);
