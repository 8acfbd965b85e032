// Lists of programs, a list as one bank dump, and two banks compared slot by slot.

#include "Collection.h"

#include "CollectionErrors.h"
#include "CollectionWrite.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include "Bank.h"
#include "SyxProgram.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t MAX_LIST_PROGRAMS = 128;
constexpr unsigned int NAME_SIZE = 12;

std::string SourceName(CSqliteDb& db, CollectionId source)
{
    CSqliteQuery query(db, "SELECT name FROM source WHERE id = ?");
    return query.Bind(1, source).Next() ? query.Text(0) : std::string();
}

// The bank a source holds; an error for an unknown source or one of a single program.
std::optional<CBank> SourceBank(CCollection& collection, CSqliteDb& db, CollectionId source, std::string& error)
{
    std::vector<unsigned char> bytes;
    if (!collection.SourceBytes(source, bytes)) {
        error = collection.ReadFailed() ? collection.ReadError() : UnknownSource(source);
        return std::nullopt;
    }
    std::optional<CBank> bank = CBank::ReadBytes(bytes.data(), bytes.size(), error);
    if (!bank)
        error = "The source " + SourceName(db, source) + " holds one program, not a bank of 128";
    return bank;
}

} // namespace

bool IsListName(const std::string& name)
{
    if (name.empty() || name.find_first_not_of(' ') == std::string::npos)
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool WriteList(CSqliteDb& db, const std::string& name, const std::vector<CollectionId>& programs,
               const std::vector<unsigned char>* slotNames, std::string& error)
{
    for (const CollectionId id : programs) {
        CSqliteQuery exists(db, "SELECT 1 FROM program WHERE id = ?");
        if (!exists.Bind(1, id).Next()) {
            error = exists.Failed() ? DatabaseError(db) : UnknownProgram(id);
            return false;
        }
    }
    // Saving under a name that exists replaces that list's programs.
    CollectionId list = 0;
    {
        CSqliteQuery add(db, "INSERT INTO list(name) VALUES(?) ON CONFLICT(name) DO NOTHING");
        CSqliteQuery find(db, "SELECT id FROM list WHERE name = ?");
        if (!add.BindText(1, name).Run() || !find.BindText(1, name).Next()) {
            error = DatabaseError(db);
            return false;
        }
        list = find.Int(0);
    }
    CSqliteQuery clear(db, "DELETE FROM list_entry WHERE list = ?");
    CSqliteQuery logged(db, "INSERT INTO change_log(kind, item) VALUES(3, ?)");
    if (!clear.Bind(1, list).Run() || !logged.Bind(1, list).Run()) {
        error = DatabaseError(db);
        return false;
    }
    for (std::size_t position = 0; position < programs.size(); ++position) {
        CSqliteQuery entry(db, "INSERT INTO list_entry(list, position, program, slot_name) VALUES(?, ?, ?, ?)");
        entry.Bind(1, list).Bind(2, static_cast<std::int64_t>(position)).Bind(3, programs[position]);
        if (slotNames != nullptr)
            entry.BindBlob(4, slotNames->data() + position * NAME_SIZE, NAME_SIZE);
        else
            entry.BindNull(4);
        if (!entry.Run()) {
            error = DatabaseError(db);
            return false;
        }
    }
    return true;
}

bool CCollection::SaveList(const std::string& name, const std::vector<CollectionId>& programs, std::string& error)
{
    if (!IsListName(name)) {
        error = BadListName();
        return false;
    }
    if (!CanWrite(error))
        return false;
    if (programs.size() > MAX_LIST_PROGRAMS) {
        error = "A list holds at most 128 programs";
        return false;
    }
    CSqliteTransaction transaction(*m_db);
    if (!transaction.Began()) {
        error = DatabaseError(*m_db);
        return false;
    }
    if (!WriteList(*m_db, name, programs, nullptr, error))
        return false;
    if (!transaction.Commit()) {
        error = DatabaseError(*m_db);
        return false;
    }
    return true;
}

std::vector<CCollectionList> CCollection::Lists()
{
    BeginRead();
    CSqliteQuery select(*m_db, "SELECT l.id, l.name, (SELECT count(*) FROM list_entry WHERE list = l.id)"
                               " FROM list l ORDER BY l.name COLLATE NOCASE, l.id");
    std::vector<CCollectionList> lists;
    while (select.Next())
        lists.push_back({select.Int(0), select.Text(1), static_cast<int>(select.Int(2))});
    if (select.Failed()) {
        ReadFailure();
        lists.clear();
    }
    return lists;
}

std::vector<CollectionId> CCollection::ListPrograms(CollectionId list)
{
    BeginRead();
    CSqliteQuery select(*m_db, "SELECT program FROM list_entry WHERE list = ? ORDER BY position");
    select.Bind(1, list);
    std::vector<CollectionId> programs;
    while (select.Next())
        programs.push_back(select.Int(0));
    if (select.Failed()) {
        ReadFailure();
        programs.clear();
    }
    return programs;
}

bool CCollection::FindList(const std::string& name, CCollectionList& list)
{
    BeginRead();
    CSqliteQuery select(*m_db, "SELECT l.id, l.name, (SELECT count(*) FROM list_entry WHERE list = l.id)"
                               " FROM list l WHERE l.name = ?");
    if (!select.BindText(1, name).Next()) {
        if (select.Failed())
            ReadFailure();
        return false;
    }
    list = {select.Int(0), select.Text(1), static_cast<int>(select.Int(2))};
    return true;
}

bool CCollection::ListDump(CollectionId list, std::vector<unsigned char>& bytes, std::string& error)
{
    BeginRead();
    std::vector<CollectionProgramData> programs;
    {
        CSqliteQuery select(*m_db, "SELECT e.program, e.slot_name, coalesce(p.user_name, p.first_name)"
                                   " FROM list_entry e LEFT JOIN program p ON p.id = e.program"
                                   " WHERE e.list = ? ORDER BY e.position");
        select.Bind(1, list);
        CSourcePrograms sources;
        while (select.Next()) {
            const CollectionId id = select.Int(0);
            const unsigned char* stored = select.IsNull(2) ? nullptr : sources.ProgramData(*m_db, id);
            if (stored == nullptr) {
                error = sources.Error().empty() ? UnknownProgram(id) : sources.Error();
                m_readError = sources.Error();
                return false;
            }
            // The name the slot had when a bank was saved as the list, else the shown name.
            CollectionProgramData data{};
            data.fill(' ');
            if (select.Size(1) == NAME_SIZE) {
                std::memcpy(data.data(), select.Blob(1), NAME_SIZE);
            } else {
                const std::string name = select.Text(2);
                std::memcpy(data.data(), name.data(), std::min<std::size_t>(name.size(), NAME_SIZE));
            }
            std::memcpy(data.data() + NAME_SIZE, stored + NAME_SIZE, data.size() - NAME_SIZE);
            programs.push_back(data);
        }
        if (select.Failed()) {
            error = DatabaseError(*m_db);
            ReadFailure();
            return false;
        }
    }
    if (programs.size() != static_cast<std::size_t>(BANK_SLOT_COUNT)) {
        error = "The list holds " + std::to_string(programs.size()) + " programs; a bank dump needs 128";
        return false;
    }
    const std::optional<CBank> bank = CBank::FromProgramData(programs);
    if (!bank) {
        error = "The list's programs do not make a bank";
        return false;
    }
    bytes = bank->BuildDump(0);
    return true;
}

bool CCollection::SourceBankPrograms(CollectionId source, std::vector<CollectionProgramData>& programs,
                                     std::string& error)
{
    programs.clear();
    BeginRead();
    const std::optional<CBank> bank = SourceBank(*this, *m_db, source, error);
    if (!bank)
        return false;
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        programs.push_back(bank->GetProgram(slot));
    return true;
}

std::vector<CSlotDifference> CompareSlots(const std::vector<CollectionProgramData>& first,
                                          const std::vector<CollectionProgramData>& second)
{
    std::vector<CSlotDifference> slots;
    const auto count = static_cast<std::size_t>(BANK_SLOT_COUNT);
    if (first.size() != count || second.size() != count)
        return slots;
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot) {
        const CollectionProgramData& one = first[static_cast<std::size_t>(slot)];
        const CollectionProgramData& two = second[static_cast<std::size_t>(slot)];
        std::string firstName = CSyxProgram('A', 1, one.data(), PROGRAM_DATA_SIZE, std::string()).GetName();
        std::string secondName = CSyxProgram('A', 1, two.data(), PROGRAM_DATA_SIZE, std::string()).GetName();
        const bool renamed = firstName != secondName;
        const bool changed = std::memcmp(one.data() + NAME_SIZE, two.data() + NAME_SIZE, PROGRAM_DATA_SIZE - NAME_SIZE)
            != 0;
        const SlotChange change = renamed && changed ? SlotChange::RenamedAndChanged
            : renamed                                 ? SlotChange::Renamed
            : changed                                 ? SlotChange::Changed
                                                      : SlotChange::Unchanged;
        slots.push_back({slot, change, std::move(firstName), std::move(secondName)});
    }
    return slots;
}

bool CCollection::Compare(CollectionId first, CollectionId second, std::vector<CSlotDifference>& differences,
                          std::string& error)
{
    differences.clear();
    std::vector<CollectionProgramData> one;
    std::vector<CollectionProgramData> two;
    if (!SourceBankPrograms(first, one, error) || !SourceBankPrograms(second, two, error))
        return false;
    for (CSlotDifference& slot : CompareSlots(one, two))
        if (slot.change != SlotChange::Unchanged)
            differences.push_back(std::move(slot));
    return true;
}
