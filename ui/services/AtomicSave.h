#pragma once
#include <QString>

#include <cstddef>

// Writes `length` bytes to `path` through a temporary file beside it, which replaces the
// target only once everything is written: a failure at any point leaves an existing file
// as it was. True when the file now holds exactly those bytes; otherwise `reason`, when
// given, gets the system's own words for what went wrong. A protected file (ProtectedFiles.h)
// is never written over.
bool SaveBytesAtomically(const QString& path, const unsigned char* bytes, std::size_t length,
                         QString* reason = nullptr);

// The message of a failed save that names the file and the reason.
QString SaveFailedText(const QString& path, const QString& reason);
