#pragma once
#include <vector>

// The Korg MS2000 SysEx dump format shared by files and MIDI messages:
//   F0 42 3n 58 <function> <7-bit packed data> [229 bytes for 0x50] F7
// Packing cuts the data into groups of seven bytes; each group is written as a flag
// byte carrying the groups' top bits (bit k = bit 7 of byte k) followed by the bytes
// with bit 7 cleared.

constexpr unsigned char SYX_START = 0xF0;
constexpr unsigned char SYX_END = 0xF7;
constexpr unsigned char KORG_ID = 0x42;
constexpr unsigned char SYX_CHANNEL_BASE = 0x30;   // high nibble 3, low nibble the channel
constexpr unsigned char MS2000_MODEL_ID = 0x58;

constexpr unsigned char FUNC_CURRENT_PROGRAM = 0x40;  // one program
constexpr unsigned char FUNC_PROGRAM_DUMP = 0x4C;     // 128 programs
constexpr unsigned char FUNC_ALL_DATA_DUMP = 0x50;    // 128 programs, then 229 further bytes

constexpr unsigned char FUNC_GLOBAL_DATA = 0x51;     // global data only, no programs

constexpr unsigned int SYX_HEADER_SIZE = 5;
constexpr unsigned int ALL_DATA_TRAILER_SIZE = 229;

// Size of `length` data bytes once packed: length + ceil(length / 7).
constexpr unsigned int PackedSize(unsigned int length) { return length + (length + 6) / 7; }

// Size of a one-program message (header, packed data, end byte).
constexpr unsigned int ProgramMessageSize(unsigned int length) { return PackedSize(length) + SYX_HEADER_SIZE + 1; }

// Packs `length` data bytes into `out`, which must hold PackedSize(length) bytes; returns the
// number of bytes written.
unsigned int PackData(const unsigned char* data, unsigned int length, unsigned char* out);

// A whole dump message: F0 42 3n 58 <function>, the packed data, the `trailerLength` bytes
// at `trailer` as they are (the further bytes of an all-data dump), F7. Only the low nibble
// of `channel` is used.
std::vector<unsigned char> BuildDumpMessage(unsigned char function, int channel, const unsigned char* data,
                                            unsigned int length, const unsigned char* trailer = nullptr,
                                            unsigned int trailerLength = 0);

// Writes a current-program dump of `length` data bytes on `channel` (0-15, only the low
// nibble is used) into `out`. Returns the message length, or 0 when `outSize` is too
// small for it (nothing is written then). Allocates nothing.
unsigned int PackProgramMessage(const unsigned char* data, unsigned int length, int channel,
                                unsigned char* out, unsigned int outSize);
