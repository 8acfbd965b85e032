// The random program generator: a new program made of byte ranges of programs drawn from the list.

#include "RandomProgram.h"

#include "ProgramList.h"
#include "SyxProgram.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string_view>

bool g_randomNeedsSeed = true;

namespace {

unsigned int g_randomState = 1;

// The largest value a draw gives, so the largest index it can reach.
constexpr int RANDOM_MAX = 32767;

// A linear congruential generator giving 15-bit values.
int NextRandom()
{
    g_randomState = g_randomState * 214013u + 2531011u;
    return static_cast<int>((g_randomState >> 16) & 0x7FFF);
}

struct ByteRange {
    unsigned int first;
    unsigned int last;  // included
};

// The ranges each taken whole from one drawn program, in the order of the draws: the
// program-wide bytes before timbre 1, then timbre 1's parameter units after its first byte.
constexpr ByteRange DRAWN_RANGES[] = {
    {19, 22}, {23, 25}, {26, 29}, {30, 37},
    {39, 40}, {41, 44}, {45, 49}, {50, 52}, {53, 53}, {54, 56}, {57, 62}, {63, 67}, {68, 71},
    {72, 75}, {76, 78}, {79, 81}, {82, 83}, {84, 85}, {86, 87}, {88, 89}, {90, 91},
    {92, 109}, {110, 127}, {128, 145},
};

constexpr ByteRange NAME_RANGE = {0, 11};
constexpr ByteRange CLEARED_RANGE = {12, 18};  // bytes 12-15 and the voice mode bytes 16-18: Single
constexpr ByteRange TIMBRE1_RANGE = {38, 145};
constexpr unsigned int TIMBRE2_FIRST = 146;
constexpr unsigned char TIMBRE_FIRST_BYTE = 255;
const char* const RANDOM_NAME = "RandomPatch ";

// Names of programs that hold nothing yet; the programs from the first of them on are no sources.
constexpr std::string_view PLACEHOLDER_NAMES[] = {"Init Sound", "Empty", "INIT Program"};

void CopyRange(unsigned char* image, const unsigned char* source, ByteRange range)
{
    std::memcpy(image + range.first, source + range.first, range.last - range.first + 1);
}

void FillRange(unsigned char* image, ByteRange range, unsigned char value)
{
    std::memset(image + range.first, value, range.last - range.first + 1);
}

// The first (last - first + 1) characters of `text`, without a terminating zero.
void CopyText(unsigned char* image, ByteRange range, const char* text)
{
    std::memcpy(image + range.first, text, range.last - range.first + 1);
}

bool IsPlaceholderName(std::string_view name)
{
    return std::find(std::begin(PLACEHOLDER_NAMES), std::end(PLACEHOLDER_NAMES), name)
        != std::end(PLACEHOLDER_NAMES);
}

// A program that parameters may be taken from: never a Vocoder program, and only a full one.
bool IsUsableSource(const CSyxProgram* program)
{
    return program != nullptr && !program->IsVocoder() && program->GetLength() >= PROGRAM_DATA_SIZE;
}

} // namespace

void SeedRandom(unsigned int seed)
{
    g_randomState = seed;
    g_randomNeedsSeed = false;
}

int RandomBetween(int low, int high)
{
    if (g_randomNeedsSeed) {
        const auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        SeedRandom(static_cast<unsigned int>(ticks.count()));
    }
    if (low == high)
        return low;
    const long long span = static_cast<long long>(high) - low;
    return static_cast<int>(low + 1 + NextRandom() % span);
}

namespace {

// Whether a draw among positions 0 to `last` of the records can ever hit a usable source.
bool HasDrawableSource(const CSyxProgram* const* records, int count, int last)
{
    const int reachable = std::min({last, count - 1, RANDOM_MAX});
    for (int i = 0; i <= reachable; ++i) {
        if (IsUsableSource(records[i]))
            return true;
    }
    return false;
}

const CSyxProgram* RecordAt(const CSyxProgram* const* records, int count, int index)
{
    return index >= 0 && index < count ? records[index] : nullptr;
}

} // namespace

const unsigned char* PickRandomSourceFrom(const CSyxProgram* const* records, int count, int last)
{
    // Drawing again until a usable program comes up only ends if one can come up at all.
    if (count <= 0 || !HasDrawableSource(records, count, last))
        return nullptr;
    last = std::min(last, count - 1);
    for (;;) {
        const CSyxProgram* program = RecordAt(records, count, RandomBetween(-1, last));
        if (IsUsableSource(program))
            return program->GetData();
    }
}

CSyxProgram* CreateRandomProgramFrom(const CSyxProgram* const* records, int count)
{
    if (count <= 0)
        return nullptr;

    // Candidates: the programs before the first one with a placeholder name (at least the first).
    int lastCandidate = 0;
    for (int j = 0; j < count; ++j) {
        if (IsPlaceholderName(records[j]->GetNameView()))
            break;
        lastCandidate = j;
    }
    // Also covers records that are all Vocoder programs, and candidates that are all Vocoder
    // programs while others lie further on: no draw could ever end there.
    if (!HasDrawableSource(records, count, lastCandidate))
        return nullptr;

    unsigned char image[PROGRAM_DATA_SIZE];
    CopyText(image, NAME_RANGE, RANDOM_NAME);
    FillRange(image, CLEARED_RANGE, 0);
    image[TIMBRE1_RANGE.first] = TIMBRE_FIRST_BYTE;
    for (const ByteRange& range : DRAWN_RANGES)
        CopyRange(image, PickRandomSourceFrom(records, count, lastCandidate), range);
    std::memcpy(image + TIMBRE2_FIRST, image + TIMBRE1_RANGE.first,
                TIMBRE1_RANGE.last - TIMBRE1_RANGE.first + 1);

    return new CSyxProgram('A', 1, image, PROGRAM_DATA_SIZE, "");
}

CSyxProgram* CreateRandomProgramFrom(const std::vector<const CSyxProgram*>& records)
{
    return CreateRandomProgramFrom(records.data(), static_cast<int>(records.size()));
}

const unsigned char* CProgramList::PickRandomSource(int last) const
{
    return PickRandomSourceFrom(m_items.data(), GetSize(), last);
}

CSyxProgram* CProgramList::CreateRandomProgram() const
{
    return CreateRandomProgramFrom(m_items.data(), GetSize());
}
