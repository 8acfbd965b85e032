// A bank saved as a list: its programs found by their sounds, those the Collection lacks added
// from the bank itself, and the list written, in one transaction.

#include "Collection.h"

#include "CollectionErrors.h"
#include "CollectionTime.h"
#include "CollectionWrite.h"
#include "SoundIndex.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include "Bank.h"
#include "ProgramList.h"
#include "SyxProgram.h"

#include <algorithm>
#include <memory>

namespace {

constexpr std::size_t NAME_SIZE = 12;

// The bank as one program dump (channel 0), as Save Bank As writes it.
std::vector<unsigned char> BankDumpOf(const std::vector<CollectionProgramData>& programs)
{
    const std::optional<CBank> bank = CBank::FromProgramData(programs);
    return bank ? bank->BuildDump(0) : std::vector<unsigned char>();
}

} // namespace

bool CCollection::SaveBankAsList(const std::string& name, const std::vector<CollectionProgramData>& programs,
                                 CImportResult& result, std::string& error, std::int64_t savedAt)
{
    result = CImportResult();
    if (!IsListName(name)) {
        error = BadListName();
        return false;
    }
    if (programs.size() != static_cast<std::size_t>(BANK_SLOT_COUNT)) {
        error = "A bank holds 128 programs, not " + std::to_string(programs.size());
        return false;
    }
    if (!CanWrite(error))
        return false;
    if (savedAt == 0)
        savedAt = NowSeconds();
    // The programs as the bank's source would hold them: what a new sound is kept from.
    const std::vector<unsigned char> dump = BankDumpOf(programs);
    CProgramList list;
    if (dump.empty() || !list.ReadSyxBytes(dump.data(), dump.size(), error, std::string())
        || list.GetSize() != BANK_SLOT_COUNT) {
        error = "The bank's programs do not make a bank";
        return false;
    }
    std::vector<unsigned char> slotNames;
    for (const CollectionProgramData& program : programs)
        slotNames.insert(slotNames.end(), program.begin(), program.begin() + NAME_SIZE);

    if (!m_sounds)
        m_sounds = std::make_unique<CSoundIndex>();
    CSqliteTransaction transaction(*m_db);
    if (!transaction.Began() || !m_sounds->CatchUp(*m_db)) {
        error = DatabaseError(*m_db);
        return false;
    }
    CSoundIndexRollback rollback(*m_sounds);
    const auto fail = [&](const std::string& text) {
        error = text;
        result = CImportResult();
        return false;
    };

    std::vector<CollectionId> ids;
    std::string findError;
    if (!FindSounds(*m_db, *m_sounds, list, ids, findError))
        return fail(findError);
    const bool allKnown = std::find(ids.begin(), ids.end(), CollectionId(0)) == ids.end();
    if (allKnown) {
        for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot) {
            if (!AddProgramName(*m_db, ids[static_cast<std::size_t>(slot)], list.GetAt(slot)->GetName()))
                return fail(DatabaseError(*m_db));
        }
    } else {
        // The bank becomes the source of the sounds it brings: where their bytes are kept.
        const CNewSource source{SourceKind::Bank, "Bank \"" + name + "\" " + LocalTimeWithSpace(savedAt), &dump,
                                savedAt};
        std::string writeError;
        if (!WriteSource(*m_db, *m_sounds, source, list, result.source, ids, result.newPrograms, writeError))
            return fail(writeError);
    }
    std::string listError;
    if (!WriteList(*m_db, name, ids, &slotNames, listError))
        return fail(listError);
    if (!transaction.Commit())
        return fail(DatabaseError(*m_db));
    rollback.Keep();
    result.programs = BANK_SLOT_COUNT;
    return true;
}
