#pragma once
// Helpers for the Collection tests: a fresh folder with a Collection file per test, and
// made-up dumps.

#include "Collection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

class CCollectionTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::string DbPath() const { return (m_dir / "collection.sqlite").string(); }
    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }
    std::string WriteFile(const std::string& name, const Bytes& bytes) const;
    // Opens the Collection at DbPath(), failing the test when it can't.
    std::unique_ptr<CCollection> OpenCollection() const;

    std::filesystem::path m_dir;
};

// A 254-byte program: `name` blank-padded in bytes 0-11, the voice mode in byte 16, every
// other byte derived from `seed`.
Bytes MakeProgram(const std::string& name, unsigned int seed, int voiceMode = 0);
// A one-program dump (0x40) and a 128-program dump (0x4C) of such programs.
Bytes OneProgramDump(const Bytes& program);
Bytes BankDump(const std::vector<Bytes>& programs);
// 128 programs "<prefix> <i>" with seeds from `firstSeed` on.
std::vector<Bytes> MakeBankPrograms(const std::string& prefix, unsigned int firstSeed);

Bytes ReadBytes(const std::string& path);

// Whether, seen from another process, the index beside the database at `path` (its "-shm")
// still holds locks of this process (the lock bytes 120-128 of SQLite's WAL-index format):
// a process loses them all when it closes any descriptor of that file.
bool IndexLockedByThisProcess(const std::string& path);

// Turns the Collection at `path` (closed) into a file as the third version of the schema
// left it: the tables, indexes and marks of the fourth and the column of the fifth removed.
void MakeThirdVersionFile(const std::string& path);
// The same for the second, third, fourth, sixth, seventh or eighth version: the file as that version left it.
void MakeOlderVersionFile(const std::string& path, int version);
