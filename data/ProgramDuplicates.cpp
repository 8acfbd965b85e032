#include "ProgramDuplicates.h"

#include "ProgramList.h"
#include "SyxProgram.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// A 64-bit hash of the bytes after the name, eight bytes at a time.
std::uint64_t HashAfterName(const CSyxProgram& program)
{
    const unsigned int length = program.GetLength();
    if (length <= DUPLICATE_FIRST_BYTE)
        return length;
    const unsigned char* bytes = program.GetData() + DUPLICATE_FIRST_BYTE;
    const unsigned int size = length - DUPLICATE_FIRST_BYTE;
    std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ size;
    unsigned int i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
    }
    for (; i < size; ++i)
        hash = (hash ^ bytes[i]) * 0x100000001B3ull;
    return hash ^ (hash >> 29);
}

bool SameAfterName(const CSyxProgram& a, const CSyxProgram& b)
{
    if (a.GetLength() != b.GetLength())
        return false;
    if (a.GetLength() <= DUPLICATE_FIRST_BYTE)
        return true;
    return std::memcmp(a.GetData() + DUPLICATE_FIRST_BYTE, b.GetData() + DUPLICATE_FIRST_BYTE,
                       a.GetLength() - DUPLICATE_FIRST_BYTE) == 0;
}

struct CHashed {
    std::uint64_t hash;
    int index;
};

} // namespace

int CDuplicateGroups::ProgramCount() const
{
    int count = 0;
    for (const auto& group : groups)
        count += static_cast<int>(group.size());
    return count;
}

CDuplicateGroups FindDuplicatePrograms(const CSyxProgram* const* records, int count)
{
    std::vector<CHashed> hashed;
    hashed.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        if (records[i] != nullptr)
            hashed.push_back({HashAfterName(*records[i]), i});
    // Equal hashes side by side, each run in the records' order.
    std::sort(hashed.begin(), hashed.end(), [](const CHashed& a, const CHashed& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.index < b.index;
    });

    // Each group as the indices of its records; within a run of equal hashes the records are
    // compared exactly, since different bytes may share a hash.
    std::vector<std::vector<int>> groups;
    std::vector<std::vector<int>> runGroups;
    for (size_t start = 0; start < hashed.size();) {
        size_t end = start + 1;
        while (end < hashed.size() && hashed[end].hash == hashed[start].hash)
            ++end;
        if (end - start > 1) {
            runGroups.clear();
            for (size_t k = start; k < end; ++k) {
                const int index = hashed[k].index;
                auto same = std::find_if(runGroups.begin(), runGroups.end(), [&](const std::vector<int>& group) {
                    return SameAfterName(*records[group.front()], *records[index]);
                });
                if (same == runGroups.end())
                    runGroups.push_back({index});
                else
                    same->push_back(index);
            }
            for (auto& group : runGroups)
                if (group.size() > 1)
                    groups.push_back(std::move(group));
        }
        start = end;
    }

    std::sort(groups.begin(), groups.end(),
              [](const std::vector<int>& a, const std::vector<int>& b) { return a.front() < b.front(); });
    CDuplicateGroups result;
    result.groups.reserve(groups.size());
    for (const auto& group : groups) {
        std::vector<const CSyxProgram*> members;
        members.reserve(group.size());
        for (int index : group)
            members.push_back(records[index]);
        result.groups.push_back(std::move(members));
    }
    return result;
}

CDuplicateGroups FindDuplicatePrograms(const CProgramList& programs)
{
    std::vector<const CSyxProgram*> records;
    records.reserve(static_cast<size_t>(programs.GetSize()));
    for (int i = 0; i < programs.GetSize(); ++i)
        records.push_back(programs.GetAt(i));
    return FindDuplicatePrograms(records.data(), static_cast<int>(records.size()));
}
