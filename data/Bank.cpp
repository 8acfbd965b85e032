#include "Bank.h"

#include "ProgramList.h"
#include "SyxFormat.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

const char* const ERROR_NOT_A_BANK = "File holds one program, not a bank of 128";

namespace {
// A dump that read is a bank when it gave 128 programs; the only other count a dump can
// give is one.
std::optional<CBank> BankOfDump(const CProgramList& list, int result, std::string& error)
{
    if (result == 0)
        return std::nullopt;
    std::optional<CBank> bank = CBank::FromList(list);
    if (!bank)
        error = ERROR_NOT_A_BANK;
    return bank;
}
}  // namespace

std::optional<CBank> CBank::ReadFile(const std::string& path, std::string& error)
{
    CProgramList list;
    const int result = list.ReadSyxFile(path, error, std::string());
    return BankOfDump(list, result, error);
}

bool CBank::IsProgramDumpFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    unsigned char header[SYX_HEADER_SIZE] = {};
    if (!file.read(reinterpret_cast<char*>(header), SYX_HEADER_SIZE))
        return false;
    return header[0] == SYX_START && header[1] == KORG_ID && header[3] == MS2000_MODEL_ID &&
           header[4] == FUNC_PROGRAM_DUMP;
}

std::optional<CBank> CBank::ReadBytes(const unsigned char* bytes, std::size_t size, std::string& error)
{
    CProgramList list;
    const int result = list.ReadSyxBytes(bytes, size, error, std::string());
    return BankOfDump(list, result, error);
}

std::optional<CBank> CBank::FromPrograms(const std::vector<const CSyxProgram*>& programs)
{
    if (programs.size() != static_cast<std::size_t>(BANK_SLOT_COUNT))
        return std::nullopt;
    CBank bank;
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot) {
        const CSyxProgram* program = programs[static_cast<std::size_t>(slot)];
        if (program == nullptr || !bank.PutProgram(slot, program->GetData(), program->GetLength()))
            return std::nullopt;
    }
    return bank;
}

std::optional<CBank> CBank::FromProgramData(const std::vector<ProgramData>& programs)
{
    if (programs.size() != static_cast<std::size_t>(BANK_SLOT_COUNT))
        return std::nullopt;
    CBank bank;
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        bank.m_slots[static_cast<std::size_t>(slot)] = programs[static_cast<std::size_t>(slot)];
    return bank;
}

std::optional<CBank> CBank::FromList(const CProgramList& list)
{
    std::vector<const CSyxProgram*> programs;
    for (int i = 0; i < list.GetSize(); ++i)
        programs.push_back(list.GetAt(i));
    return FromPrograms(programs);
}

std::unique_ptr<CSyxProgram> CBank::CreateSlotRecord(int slot, const std::string& fileName) const
{
    if (!IsSlot(slot))
        return nullptr;
    return std::make_unique<CSyxProgram>(SlotBank(slot), SlotNumber(slot), GetProgram(slot).data(),
                                         PROGRAM_DATA_SIZE, fileName);
}

bool CBank::PutProgram(int slot, const unsigned char* data, unsigned int length)
{
    if (!IsSlot(slot) || data == nullptr || length != PROGRAM_DATA_SIZE)
        return false;
    std::copy(data, data + length, m_slots[static_cast<std::size_t>(slot)].begin());
    return true;
}

bool CBank::SwapSlots(int first, int second)
{
    if (!IsSlot(first) || !IsSlot(second))
        return false;
    std::swap(m_slots[static_cast<std::size_t>(first)], m_slots[static_cast<std::size_t>(second)]);
    return true;
}

std::vector<unsigned char> CBank::BuildDump(int channel) const
{
    // The programs one after another: the unpacked stream that is packed as a whole.
    std::vector<unsigned char> data;
    data.reserve(static_cast<std::size_t>(BANK_SLOT_COUNT) * PROGRAM_DATA_SIZE);
    for (const ProgramData& program : m_slots)
        data.insert(data.end(), program.begin(), program.end());
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, channel, data.data(), static_cast<unsigned int>(data.size()));
}

std::string CBank::SlotName(int slot)
{
    char text[8];
    std::snprintf(text, sizeof text, "%c %03d", SlotBank(slot), SlotNumber(slot));
    return text;
}
