#pragma once
#include <QString>

#include <cstddef>

// Writes `length` bytes to `path` through a temporary file beside it, which replaces the
// target only once everything is written: a failure at any point leaves an existing file
// as it was. True when the file now holds exactly those bytes.
bool SaveBytesAtomically(const QString& path, const unsigned char* bytes, std::size_t length);
