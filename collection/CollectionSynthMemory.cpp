// The synthesizer's memory as the Collection knows it: the last receive of 128 programs, or
// the bank sent to it after that receive, with the programs written into single slots since.
// A receive is a snapshot and stays as it came; what was sent to the synthesizer after it is
// kept beside it in synth_write, and only the next receive starts again from a snapshot.

#include "Collection.h"

#include "CollectionErrors.h"
#include "CollectionTime.h"
#include "SqliteDb.h"

#include <cstring>
#include <tuple>

namespace {

constexpr std::size_t PROGRAM_BYTES = std::tuple_size<CollectionProgramData>::value;
constexpr int BANK_PROGRAMS = 128;
constexpr std::int64_t WHOLE_BANK = -1;   // synth_write.slot of a bank sent

struct CLastReceive {
    CollectionId source = 0;
    std::int64_t takenIn = 0;
};

// The newest receive of 128 programs (a program or all-data dump), if any.
bool FindLastReceive(CSqliteDb& db, CLastReceive& receive)
{
    CSqliteQuery query(db, "SELECT id, taken_in FROM source WHERE kind = 1 AND program_count = 128"
                           " ORDER BY taken_in DESC, id DESC LIMIT 1");
    receive = CLastReceive();
    if (query.Next()) {
        receive.source = query.Int(0);
        receive.takenIn = query.Int(1);
    }
    return !query.Failed();
}

// A receive and the writes from the same second on belong together: a receive's time is
// when it ended, so a write in that second came after it (a bank takes 12 s to come in).
bool InsertWrite(CSqliteDb& db, std::int64_t slot, const unsigned char* bytes, std::size_t size, std::int64_t at)
{
    CLastReceive receive;
    if (!FindLastReceive(db, receive))
        return false;
    // What lies before the last receive, or before a bank sent now, can no longer matter.
    CSqliteQuery prune(db, "DELETE FROM synth_write WHERE written_at < ?1 OR ?2");
    prune.Bind(1, receive.takenIn).Bind(2, slot == WHOLE_BANK ? 1 : 0);
    CSqliteQuery insert(db, "INSERT INTO synth_write(written_at, slot, programs) VALUES(?, ?, ?)");
    insert.Bind(1, at).Bind(2, slot).BindBlob(3, bytes, size);
    return prune.Run() && insert.Run();
}

}  // namespace

bool CCollection::RecordSynthBankSent(const std::vector<CollectionProgramData>& programs, std::string& error,
                                      std::int64_t sentAt)
{
    if (programs.size() != static_cast<std::size_t>(BANK_PROGRAMS)) {
        error = "A bank has 128 programs, not " + std::to_string(programs.size());
        return false;
    }
    std::vector<unsigned char> bytes;
    bytes.reserve(programs.size() * PROGRAM_BYTES);
    for (const CollectionProgramData& program : programs)
        bytes.insert(bytes.end(), program.begin(), program.end());
    CSqliteTransaction transaction(*m_db);
    if (!transaction.Began() ||
        !InsertWrite(*m_db, WHOLE_BANK, bytes.data(), bytes.size(), sentAt == 0 ? NowSeconds() : sentAt) ||
        !transaction.Commit()) {
        error = DatabaseError(*m_db);
        return false;
    }
    return true;
}

bool CCollection::RecordSynthSlotWritten(int slot, const CollectionProgramData& program, std::string& error,
                                         std::int64_t writtenAt)
{
    if (slot < 0 || slot >= BANK_PROGRAMS) {
        error = "There is no slot " + std::to_string(slot) + " in the synthesizer";
        return false;
    }
    CSqliteTransaction transaction(*m_db);
    if (!transaction.Began() ||
        !InsertWrite(*m_db, slot, program.data(), program.size(), writtenAt == 0 ? NowSeconds() : writtenAt) ||
        !transaction.Commit()) {
        error = DatabaseError(*m_db);
        return false;
    }
    return true;
}

bool CCollection::KnownSynthMemory(CKnownSynthMemory& memory, std::string& error)
{
    memory = CKnownSynthMemory();
    CLastReceive receive;
    if (!FindLastReceive(*m_db, receive)) {
        error = DatabaseError(*m_db);
        return false;
    }
    if (receive.source != 0) {
        if (!SourceBankPrograms(receive.source, memory.programs, error))
            return false;
        memory.base = CKnownSynthMemory::Base::Receive;
        memory.baseTime = receive.takenIn;
        memory.receive = receive.source;
    }
    CSqliteQuery writes(*m_db, "SELECT written_at, slot, programs FROM synth_write WHERE written_at >= ? ORDER BY id");
    writes.Bind(1, receive.takenIn);
    while (writes.Next()) {
        const std::int64_t slot = writes.Int(1);
        const unsigned char* bytes = writes.Blob(2);
        const std::size_t size = writes.Size(2);
        if (slot == WHOLE_BANK && size == BANK_PROGRAMS * PROGRAM_BYTES) {
            memory.programs.assign(BANK_PROGRAMS, CollectionProgramData());
            for (int i = 0; i < BANK_PROGRAMS; ++i)
                std::memcpy(memory.programs[static_cast<std::size_t>(i)].data(), bytes + i * PROGRAM_BYTES,
                            PROGRAM_BYTES);
            memory.base = CKnownSynthMemory::Base::BankSent;
            memory.baseTime = writes.Int(0);
            memory.slotsWritten = 0;
        } else if (slot >= 0 && slot < BANK_PROGRAMS && size == PROGRAM_BYTES &&
                   memory.base != CKnownSynthMemory::Base::None) {
            std::memcpy(memory.programs[static_cast<std::size_t>(slot)].data(), bytes, PROGRAM_BYTES);
            ++memory.slotsWritten;
        }
    }
    if (writes.Failed()) {
        memory = CKnownSynthMemory();
        error = DatabaseError(*m_db);
        return false;
    }
    return true;
}
