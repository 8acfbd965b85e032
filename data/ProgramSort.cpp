#include "ProgramSort.h"

#include "ProgramList.h"
#include "SyxProgram.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

int g_sortColumn = 0;

namespace {

// A record's key for the sort column as the pieces that, joined, make it. The pieces point
// into the record's cached texts, so no key is ever built.
struct SortKey {
    std::string_view pieces[3];
    int count = 0;
};

SortKey KeyOf(const CSyxProgram& program, int column)
{
    switch (column) {
    case 0: return {{program.GetFileNameView(), program.GetBankView(), program.GetNumberView()}, 3};
    case 1: return {{program.GetBankView(), program.GetNumberView()}, 2};
    case 2: return {{program.GetNumberView(), program.GetFileNameView()}, 2};
    case 3: return {{program.GetNameView()}, 1};
    case 4: return {{program.GetVoiceModeView(), program.GetBankView()}, 2};
    default: return {};
    }
}

// Walks the bytes of a key across its pieces.
class CKeyCursor
{
public:
    explicit CKeyCursor(const SortKey& key) : m_key(key) {}

    // Moves to the next piece that has bytes left; false at the end of the key.
    bool HasMore()
    {
        while (m_pos == m_end) {
            if (++m_piece >= m_key.count)
                return false;
            const std::string_view piece = m_key.pieces[m_piece];
            m_pos = reinterpret_cast<const unsigned char*>(piece.data());
            m_end = m_pos + piece.size();
        }
        return true;
    }
    size_t Left() const { return static_cast<size_t>(m_end - m_pos); }
    const unsigned char* Pos() const { return m_pos; }
    void Advance(size_t count) { m_pos += count; }

private:
    const SortKey& m_key;
    int m_piece = -1;
    const unsigned char* m_pos = nullptr;
    const unsigned char* m_end = nullptr;
};

unsigned char FoldCase(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Compares two joined keys byte by byte; only where the bytes differ are capitals folded to
// small letters before the pair decides.
int CompareKeys(const SortKey& first, const SortKey& second)
{
    CKeyCursor a(first);
    CKeyCursor b(second);
    for (;;) {
        const bool aMore = a.HasMore();
        const bool bMore = b.HasMore();
        if (!aMore || !bMore)
            return aMore ? 1 : (bMore ? -1 : 0);
        const size_t count = std::min(a.Left(), b.Left());
        const unsigned char* pa = a.Pos();
        const unsigned char* pb = b.Pos();
        for (size_t i = 0; i < count; ++i) {
            if (pa[i] != pb[i]) {
                const unsigned char fa = FoldCase(pa[i]);
                const unsigned char fb = FoldCase(pb[i]);
                if (fa != fb)
                    return fa < fb ? -1 : 1;
            }
        }
        a.Advance(count);
        b.Advance(count);
    }
}

// The joined key with capitals folded to small letters. Two such keys compared as unsigned
// bytes order exactly as CompareKeys orders the keys they came from: where two bytes are equal
// their folded forms are too, and the first pair that still differs once folded decides.
std::string FoldedKey(const CSyxProgram& program, int column)
{
    const SortKey key = KeyOf(program, column);
    size_t length = 0;
    for (int i = 0; i < key.count; ++i)
        length += key.pieces[i].size();
    std::string folded(length, '\0');
    char* out = folded.data();
    for (int i = 0; i < key.count; ++i)
        for (const char c : key.pieces[i])
            *out++ = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
    return folded;
}

struct CKeyedRecord {
    std::string key;
    CSyxProgram* record;
    size_t place;   // in the list before the sort
};

} // namespace

int CompareByColumn(const void* first, const void* second)
{
    const CSyxProgram* a = *static_cast<const CSyxProgram* const*>(first);
    const CSyxProgram* b = *static_cast<const CSyxProgram* const*>(second);
    return CompareKeys(KeyOf(*a, g_sortColumn), KeyOf(*b, g_sortColumn));
}

void CProgramList::SortByColumn(int column)
{
    g_sortColumn = column;
    // Outside the five columns every record ties, so any order will do: the one there is.
    if (m_items.size() < 2 || column < 0 || column > 4)
        return;
    // Each key is worked out once and sorted together with its record, instead of being
    // walked again in every comparison: a sort of a large library compares each record many
    // times, and the records lie all over the heap while the keys lie side by side here.
    std::vector<CKeyedRecord> keyed;
    keyed.reserve(m_items.size());
    for (size_t i = 0; i < m_items.size(); ++i)
        keyed.push_back({FoldedKey(*m_items[i], column), m_items[i], i});
    // Records that tie keep the order they had, so that sorting by one column and then by
    // another orders by the second and, within its ties, by the first: ties are decided by
    // the place before the sort (a stable sort, without the stable sort's extra moves).
    std::sort(keyed.begin(), keyed.end(), [](const CKeyedRecord& a, const CKeyedRecord& b) {
        const int order = a.key.compare(b.key);
        return order < 0 || (order == 0 && a.place < b.place);
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        m_items[i] = keyed[i].record;
}
