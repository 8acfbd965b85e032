#include "SourceStore.h"

#include "SqliteDb.h"

#include "SyxFormat.h"
#include "SyxProgram.h"

#include <algorithm>

namespace {

constexpr std::size_t ID_SIZE = 8;
constexpr std::size_t NAME_SIZE = 12;
constexpr std::size_t SLOT_SIZE = ID_SIZE + NAME_SIZE;
constexpr std::size_t SOUND_SIZE = PROGRAM_DATA_SIZE - NAME_SIZE;

} // namespace

std::vector<unsigned char> EncodeSlots(const std::vector<CSourceSlot>& slots)
{
    std::vector<unsigned char> blob;
    blob.reserve(slots.size() * SLOT_SIZE);
    for (const CSourceSlot& slot : slots) {
        for (std::size_t byte = 0; byte < ID_SIZE; ++byte)
            blob.push_back(static_cast<unsigned char>(static_cast<std::uint64_t>(slot.program) >> (8 * byte)));
        blob.insert(blob.end(), slot.name.begin(), slot.name.end());
    }
    return blob;
}

std::vector<CSourceSlot> DecodeSlots(const unsigned char* blob, std::size_t size)
{
    std::vector<CSourceSlot> slots;
    for (std::size_t offset = 0; offset + SLOT_SIZE <= size; offset += SLOT_SIZE) {
        CSourceSlot slot;
        std::uint64_t id = 0;
        for (std::size_t byte = 0; byte < ID_SIZE; ++byte)
            id |= static_cast<std::uint64_t>(blob[offset + byte]) << (8 * byte);
        slot.program = static_cast<std::int64_t>(id);
        std::copy(blob + offset + ID_SIZE, blob + offset + SLOT_SIZE, slot.name.begin());
        slots.push_back(slot);
    }
    return slots;
}

bool ReadSourceBytes(CSqliteDb& db, std::int64_t source, std::vector<unsigned char>& bytes)
{
    CSqliteQuery row(db, "SELECT bytes, function, channel, slots, global_block FROM source WHERE id = ?");
    if (!row.Bind(1, source).Next())
        return false;
    if (!row.IsNull(0)) {
        bytes.assign(row.Blob(0), row.Blob(0) + row.Size(0));
        return true;
    }
    // The dump rebuilt: each slot's name bytes and its program's sound, packed as one stream.
    const std::vector<CSourceSlot> slots = DecodeSlots(row.Blob(3), row.Size(3));
    std::vector<unsigned char> data;
    data.reserve(slots.size() * PROGRAM_DATA_SIZE);
    for (const CSourceSlot& slot : slots) {
        CSqliteQuery sound(db, "SELECT sound FROM program WHERE id = ?");
        if (!sound.Bind(1, slot.program).Next() || sound.Size(0) != SOUND_SIZE)
            return false;
        data.insert(data.end(), slot.name.begin(), slot.name.end());
        data.insert(data.end(), sound.Blob(0), sound.Blob(0) + SOUND_SIZE);
    }
    const unsigned int globalSize = row.IsNull(4) ? 0 : static_cast<unsigned int>(row.Size(4));
    bytes = BuildDumpMessage(static_cast<unsigned char>(row.Int(1)), static_cast<int>(row.Int(2)), data.data(),
                             static_cast<unsigned int>(data.size()), globalSize > 0 ? row.Blob(4) : nullptr,
                             globalSize);
    return true;
}
