#include "SourceStore.h"

#include "CollectionErrors.h"
#include "ContentHash.h"
#include "DumpMessages.h"
#include "SqliteDb.h"

#include "ProgramList.h"
#include "SyxProgram.h"

namespace {

constexpr std::size_t ID_SIZE = 8;
// Any value other than 0 gives the second, independent content hash.
constexpr std::uint64_t CONTENT_CHECK_SEED = 0x5EED;

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
    programs.reserve(size / ID_SIZE);
    for (std::size_t offset = 0; offset + ID_SIZE <= size; offset += ID_SIZE) {
        std::uint64_t id = 0;
        for (std::size_t byte = 0; byte < ID_SIZE; ++byte)
            id |= static_cast<std::uint64_t>(blob[offset + byte]) << (8 * byte);
        programs.push_back(static_cast<std::int64_t>(id));
    }
    return programs;
}

CSourceHashes SourceHashes(const std::vector<unsigned char>& bytes)
{
    const CContentHashes both = ContentHashes(bytes.data(), bytes.size(), 0, CONTENT_CHECK_SEED);
    return {both.first, both.second};
}

SourceRead ReadSourceBytes(CSqliteDb& db, std::int64_t source, std::vector<unsigned char>& bytes, std::string* name)
{
    CSqliteQuery row(db, "SELECT bytes, content_hash, content_check, size, name FROM source WHERE id = ?");
    if (!row.Bind(1, source).Next())
        return row.Failed() ? SourceRead::Failed : SourceRead::Unknown;
    bytes.assign(row.Blob(0), row.Blob(0) + row.Size(0));
    if (name != nullptr)
        *name = row.Text(4);
    const CSourceHashes hashes = SourceHashes(bytes);
    const bool intact = static_cast<std::int64_t>(bytes.size()) == row.Int(3)
        && static_cast<std::int64_t>(hashes.hash) == row.Int(1) && static_cast<std::int64_t>(hashes.check) == row.Int(2);
    if (!intact) {
        bytes.clear();
        return SourceRead::Damaged;
    }
    return SourceRead::Read;
}

std::string SourceReadError(CSqliteDb& db, SourceRead result, std::int64_t source, const std::string& name)
{
    switch (result) {
    case SourceRead::Read: return std::string();
    case SourceRead::Unknown: return UnknownSource(source);
    case SourceRead::Damaged: return DamagedSource(name);
    case SourceRead::Failed: break;
    }
    return DatabaseError(db);
}

CSourcePrograms::CSourcePrograms() = default;
CSourcePrograms::~CSourcePrograms() = default;

const unsigned char* CSourcePrograms::SlotData(CSqliteDb& db, std::int64_t source, int slot)
{
    m_error.clear();
    const CProgramList* programs = nullptr;
    if (const auto pending = m_pending.find(source); pending != m_pending.end()) {
        programs = pending->second;
    } else if (const auto read = m_read.find(source); read != m_read.end()) {
        programs = read->second.get();
    } else {
        std::vector<unsigned char> bytes;
        std::string name;
        const SourceRead result = ReadSourceBytes(db, source, bytes, &name);
        if (result != SourceRead::Read) {
            m_error = SourceReadError(db, result, source, name);
            return nullptr;
        }
        auto list = std::make_unique<CProgramList>();
        CDumpMessages messages;
        std::string error;
        if (!ReadDumpMessages(bytes.data(), bytes.size(), *list, messages, error)) {
            m_error = DamagedSource(name);
            return nullptr;
        }
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
        if (!row.Bind(1, program).Next()) {
            m_error = row.Failed() ? DatabaseError(db) : std::string();
            return nullptr;
        }
        source = row.Int(0);
        slot = static_cast<int>(row.Int(1));
    }
    return SlotData(db, source, slot);
}
