#pragma once
// Helpers for the data tests: a fresh temporary folder per test, program images and dumps.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A test fixture that owns an empty folder of its own, removed after the test.
class CTempDirTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes `bytes` to a file in the folder and returns its path.
    std::string WriteFile(const std::string& name, const Bytes& bytes) const;
    std::string PathOf(const std::string& name) const;

    std::filesystem::path m_dir;
};

// A 254-byte program image: `name` in bytes 0-11 (padded with NUL), `voiceByte` at byte 16, and
// every other byte a value derived from `seed` and its offset, spanning all 256 values.
Bytes MakeProgramData(const std::string& name, unsigned char voiceByte = 0x00, unsigned int seed = 0);

// Twelve name bytes given exactly (no padding added); the rest as MakeProgramData.
Bytes MakeProgramDataRawName(const Bytes& nameBytes, unsigned char voiceByte = 0x00, unsigned int seed = 0);

// A whole dump message of `data` (any number of bytes) with the given function code and
// channel; for 0x50 the 229 further bytes, all `trailerByte`, go before the end byte.
Bytes PackDump(const Bytes& data, unsigned char function, int channel = 0, unsigned char trailerByte = 0x00);

// The 128-program image made of MakeProgramData("P<i>", ..., i) for i = 0..127.
Bytes MakeBankData();
