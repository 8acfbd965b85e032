#include "CollectionFieldsSupport.h"

#include <algorithm>

namespace {

std::string SoundOf(const CollectionProgramData& data)
{
    return std::string(data.begin() + 12, data.end());
}

std::string SoundOf(CCollection& collection, CollectionId id)
{
    CollectionProgramData data{};
    EXPECT_TRUE(collection.ProgramData(id, data)) << id;
    return SoundOf(data);
}

std::vector<std::string> SoundsOf(CCollection& collection, const std::vector<CollectionId>& ids)
{
    std::vector<std::string> sounds;
    for (const CollectionId id : ids)
        sounds.push_back(SoundOf(collection, id));
    return sounds;
}

} // namespace

CCollectionFields ReadFields(CCollection& collection)
{
    CCollectionFields fields;
    std::vector<CCollectionProgram> programs = collection.Search({});
    CCollectionQuery hidden;
    hidden.hiddenOnly = true;
    for (const CCollectionProgram& program : collection.Search(hidden))
        programs.push_back(program);
    for (const CCollectionProgram& program : programs) {
        CProgramFields& entry = fields.programs[SoundOf(collection, program.id)];
        entry = {program.shownName, program.voiceMode, program.favourite, program.hidden, program.tags,
                 program.comment, program.sourceCount, program.firstSeen, collection.ProgramNames(program.id)};
    }
    for (const CCollectionSource& source : collection.Sources()) {
        CSourceFields entry{source.kind, source.name, source.takenIn, source.size, {}, {}};
        EXPECT_TRUE(collection.SourceBytes(source.id, entry.bytes)) << source.name;
        entry.slotSounds = SoundsOf(collection, collection.SourcePrograms(source.id));
        fields.sources.push_back(entry);
    }
    for (const CCollectionList& list : collection.Lists()) {
        CListFields& entry = fields.lists[list.name];
        entry.sounds = SoundsOf(collection, collection.ListPrograms(list.id));
        std::string error;
        if (list.programCount == 128) {
            EXPECT_TRUE(collection.ListDump(list.id, entry.dump, error)) << error;
        }
    }
    return fields;
}

void FillWithEveryField(CCollection& collection, const std::string& prefix, unsigned int seed, std::int64_t firstTime)
{
    std::string error;
    CImportResult first, second, single, receive, bank;
    std::vector<Bytes> bankA = MakeBankPrograms(prefix + "A", seed);
    std::vector<Bytes> bankB = MakeBankPrograms(prefix + "B", seed + 1000);
    // Ten sounds of A again in B, under B's names: names seen.
    for (std::size_t i = 0; i < 10; ++i)
        std::copy(bankA[i].begin() + 12, bankA[i].end(), bankB[i * 3].begin() + 12);
    ASSERT_TRUE(collection.ImportFileBytes("/dumps/" + prefix + "a.syx", BankDump(bankA), first, error, firstTime))
        << error;
    ASSERT_TRUE(collection.ImportFileBytes("/dumps/" + prefix + "b.syx", BankDump(bankB), second, error,
                                           firstTime + 60))
        << error;
    ASSERT_TRUE(collection.ImportFileBytes("/dumps/" + prefix + "one.syx",
                                           OneProgramDump(MakeProgram(prefix + "One", seed + 5000, 3)), single,
                                           error, firstTime + 120))
        << error;
    std::vector<Bytes> synth = bankA;
    std::copy(bankB[50].begin(), bankB[50].end(), synth[7].begin());
    ASSERT_TRUE(collection.ImportSynthDump(BankDump(synth), receive, error, firstTime + 180)) << error;

    const std::vector<CollectionId> a = collection.SourcePrograms(first.source);
    const std::vector<CollectionId> b = collection.SourcePrograms(second.source);
    // A bank with sounds new to the Collection becomes a source; one of known sounds does not.
    std::vector<CollectionProgramData> built;
    for (std::size_t i = 0; i < 128; ++i) {
        const Bytes& from = i < 64 ? bankA[i] : MakeProgram(prefix + "New " + std::to_string(i), seed + 7000 + i);
        CollectionProgramData data{};
        std::copy(from.begin(), from.end(), data.begin());
        built.push_back(data);
    }
    ASSERT_TRUE(collection.SaveBankAsList(prefix + "Built", built, bank, error, firstTime + 240)) << error;
    std::vector<CollectionProgramData> known;
    for (std::size_t i = 0; i < 128; ++i) {
        CollectionProgramData data{};
        std::copy(bankB[127 - i].begin(), bankB[127 - i].end(), data.begin());
        std::copy_n("Slot name   ", 12, data.begin());
        known.push_back(data);
    }
    ASSERT_TRUE(collection.SaveBankAsList(prefix + "Known", known, bank, error, firstTime + 300)) << error;
    ASSERT_TRUE(collection.SaveList(prefix + "Chosen", {a[3], b[9], a[3], b[100]}, error)) << error;

    ASSERT_TRUE(collection.Rename(a[1], "Renamed 1", error)) << error;
    ASSERT_TRUE(collection.Rename(a[1], "Renamed 2", error)) << error;
    ASSERT_TRUE(collection.Rename(b[5], "Other name", error)) << error;
    for (const CollectionId id : {a[2], b[2], a[0]})
        ASSERT_TRUE(collection.SetFavourite(id, true, error)) << error;
    for (const CollectionId id : {a[4], b[4]})
        ASSERT_TRUE(collection.SetHidden(id, true, error)) << error;
    for (const auto& [id, tag] : std::vector<std::pair<CollectionId, std::string>>{
             {a[2], "leads"}, {a[2], "Live"}, {b[6], "pads"}, {a[4], "leads"}})
        ASSERT_TRUE(collection.AddTag(id, tag, error)) << error;
    ASSERT_TRUE(collection.SetComment(a[0], "Filter at 3 o'clock", error)) << error;
    ASSERT_TRUE(collection.SetComment(b[7], "From the 2004 gig\nsecond line", error)) << error;
}

void ExpectSameFields(const CCollectionFields& expected, const CCollectionFields& actual, const std::string& what)
{
    EXPECT_EQ(actual.programs.size(), expected.programs.size()) << what;
    for (const auto& [sound, program] : expected.programs) {
        const auto found = actual.programs.find(sound);
        if (found == actual.programs.end()) {
            ADD_FAILURE() << what << ": program " << program.shownName << " is missing";
            continue;
        }
        const CProgramFields& got = found->second;
        const std::string where = what + ", program " + program.shownName;
        EXPECT_EQ(got.shownName, program.shownName) << where;
        EXPECT_EQ(got.voiceMode, program.voiceMode) << where;
        EXPECT_EQ(got.favourite, program.favourite) << where;
        EXPECT_EQ(got.hidden, program.hidden) << where;
        EXPECT_EQ(got.tags, program.tags) << where;
        EXPECT_EQ(got.comment, program.comment) << where;
        EXPECT_EQ(got.sourceCount, program.sourceCount) << where;
        EXPECT_EQ(got.firstSeen, program.firstSeen) << where;
        EXPECT_EQ(got.names, program.names) << where;
    }
    ASSERT_EQ(actual.sources.size(), expected.sources.size()) << what;
    for (std::size_t i = 0; i < expected.sources.size(); ++i) {
        const CSourceFields& want = expected.sources[i];
        const CSourceFields& got = actual.sources[i];
        const std::string where = what + ", source " + want.name;
        EXPECT_EQ(got.kind, want.kind) << where;
        EXPECT_EQ(got.name, want.name) << where;
        EXPECT_EQ(got.takenIn, want.takenIn) << where;
        EXPECT_EQ(got.size, want.size) << where;
        EXPECT_TRUE(got.bytes == want.bytes) << where;
        EXPECT_TRUE(got.slotSounds == want.slotSounds) << where;
    }
    EXPECT_EQ(actual.lists.size(), expected.lists.size()) << what;
    for (const auto& [name, list] : expected.lists) {
        const auto found = actual.lists.find(name);
        if (found == actual.lists.end()) {
            ADD_FAILURE() << what << ": list " << name << " is missing";
            continue;
        }
        EXPECT_TRUE(found->second.sounds == list.sounds) << what << ", list " << name;
        EXPECT_TRUE(found->second.dump == list.dump) << what << ", list " << name;
    }
}
