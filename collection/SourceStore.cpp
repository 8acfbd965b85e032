#include "SourceStore.h"

#include "SqliteDb.h"

#include "ProgramList.h"
#include "SyxProgram.h"

namespace {

constexpr std::size_t ID_SIZE = 8;

} // namespace

std::vector<unsigned char> EncodeSlots(const std::vector<std::int64_t>& programs)
{
    std::vector<unsigned char> blob;
    blob.reserve(programs.size() * ID_SIZE);
    for (const std::int64_t program : programs)
        for (std::size_t byte = 0; byte < ID_SIZE; ++byte)
            blob.push_back(static_cast<unsigned char>(static_cast<std::uint64_t>(program) >> (8 * byte)));
    return blob;
}

std::vector<std::int64_t> DecodeSlots(const unsigned char* blob, std::size_t size)
{
    std::vector<std::int64_t> programs;
    for (std::size_t offset = 0; offset + ID_SIZE <= size; offset += ID_SIZE) {
        std::uint64_t id = 0;
        for (std::size_t byte = 0; byte < ID_SIZE; ++byte)
            id |= static_cast<std::uint64_t>(blob[offset + byte]) << (8 * byte);
        programs.push_back(static_cast<std::int64_t>(id));
    }
    return programs;
}

bool ReadSourceBytes(CSqliteDb& db, std::int64_t source, std::vector<unsigned char>& bytes)
{
    CSqliteQuery row(db, "SELECT bytes FROM source WHERE id = ?");
    if (!row.Bind(1, source).Next())
        return false;
    bytes.assign(row.Blob(0), row.Blob(0) + row.Size(0));
    return true;
}

CSourcePrograms::CSourcePrograms() = default;
CSourcePrograms::~CSourcePrograms() = default;

const unsigned char* CSourcePrograms::SlotData(CSqliteDb& db, std::int64_t source, int slot)
{
    const CProgramList* programs = nullptr;
    if (const auto pending = m_pending.find(source); pending != m_pending.end()) {
        programs = pending->second;
    } else if (const auto read = m_read.find(source); read != m_read.end()) {
        programs = read->second.get();
    } else {
        std::vector<unsigned char> bytes;
        if (!ReadSourceBytes(db, source, bytes))
            return nullptr;
        auto list = std::make_unique<CProgramList>();
        std::string error;
        if (!list->ReadSyxBytes(bytes.data(), bytes.size(), error, std::string()))
            return nullptr;
        programs = (m_read[source] = std::move(list)).get();
    }
    const CSyxProgram* program = programs->GetAt(slot);
    return program != nullptr && program->GetLength() == PROGRAM_DATA_SIZE ? program->GetData() : nullptr;
}

const unsigned char* CSourcePrograms::ProgramData(CSqliteDb& db, std::int64_t program)
{
    std::int64_t source = 0;
    int slot = 0;
    {
        CSqliteQuery row(db, "SELECT first_source, first_slot FROM program WHERE id = ?");
        if (!row.Bind(1, program).Next())
            return nullptr;
        source = row.Int(0);
        slot = static_cast<int>(row.Int(1));
    }
    return SlotData(db, source, slot);
}
