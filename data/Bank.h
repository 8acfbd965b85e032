#pragma once
// A bank: the 128 programs of the synthesizer's memory, in slot order A 001..A 016, B 001..H 016.
// It is made whole from a 128-program dump or from 128 programs, changed a slot at a time,
// and written back as one program data dump (function 0x4C).

#include "SyxProgram.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CProgramList;

constexpr int BANK_SLOT_COUNT = 128;
constexpr int BANK_SLOTS_PER_LETTER = 16;

// The error text when a readable dump holds one program rather than a bank.
extern const char* const ERROR_NOT_A_BANK;

class CBank
{
public:
    using ProgramData = std::array<unsigned char, PROGRAM_DATA_SIZE>;

    // The bank of a 128-program dump (0x4C, or the programs of an all-data dump 0x50), from
    // a file or from a message in memory. On failure: no bank, and `error` holds the
    // reader's text, or ERROR_NOT_A_BANK for a readable one-program dump.
    static std::optional<CBank> ReadFile(const std::string& path, std::string& error);
    static std::optional<CBank> ReadBytes(const unsigned char* bytes, std::size_t size, std::string& error);
    // Whether the file at `path` is a program data dump: the bank written over it loses
    // nothing (an all-data dump would lose its global data).
    static bool IsProgramDumpFile(const std::string& path);
    // The bank of 128 programs in slot order; no bank unless there are exactly 128 records,
    // each of PROGRAM_DATA_SIZE bytes.
    static std::optional<CBank> FromPrograms(const std::vector<const CSyxProgram*>& programs);
    // The same from the programs' bytes alone; no bank unless there are exactly 128.
    static std::optional<CBank> FromProgramData(const std::vector<ProgramData>& programs);
    // The bank of the 128 records of a list (a whole dump read into it).
    static std::optional<CBank> FromList(const CProgramList& list);

    // The slot's bank letter ('A'-'H') and number (1-16).
    static char SlotBank(int slot) { return static_cast<char>('A' + slot / BANK_SLOTS_PER_LETTER); }
    static int SlotNumber(int slot) { return slot % BANK_SLOTS_PER_LETTER + 1; }
    static bool IsSlot(int slot) { return slot >= 0 && slot < BANK_SLOT_COUNT; }
    // The slot as every text names it, in the grid's form: bank letter, a space, the number
    // in three digits ("A 001" ... "H 016").
    static std::string SlotName(int slot);

    // The program in a slot (0-127).
    const ProgramData& GetProgram(int slot) const { return m_slots[static_cast<std::size_t>(slot)]; }
    // A record of the slot's program, with the slot's letter and number, for its texts and
    // for sending it.
    std::unique_ptr<CSyxProgram> CreateSlotRecord(int slot, const std::string& fileName = std::string()) const;

    // Puts a program of PROGRAM_DATA_SIZE bytes in a slot. False, changing nothing, for a
    // slot out of range or a record of another size.
    bool PutProgram(int slot, const unsigned char* data, unsigned int length);
    // Exchanges the programs of two slots; false, changing nothing, when either is out of range.
    bool SwapSlots(int first, int second);

    // The whole bank as one program data dump: F0 42 3n 58 4C, the 128 programs packed as
    // one stream, F7. Files are written with channel 0.
    std::vector<unsigned char> BuildDump(int channel = 0) const;

    bool operator==(const CBank& other) const { return m_slots == other.m_slots; }
    bool operator!=(const CBank& other) const { return !(*this == other); }

private:
    CBank() = default;

    std::array<ProgramData, BANK_SLOT_COUNT> m_slots{};
};
