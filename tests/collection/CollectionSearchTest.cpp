// Searching by a fragment of a name: the same answers whether the names are in the trigram
// index or not yet, for fragments of any length, letter case, every name seen, bytes from 0x80
// up (as they are printed: Latin-1) and characters that mean something to SQL or FTS5.

#include "CollectionTestSupport.h"
#include "NameIndex.h"

#include <algorithm>
#include <set>

namespace {

std::set<std::string> ShownNames(CCollection& collection, const std::vector<CCollectionProgram>& programs)
{
    std::set<std::string> names;
    for (const CCollectionProgram& program : programs)
        names.insert(program.shownName);
    EXPECT_FALSE(collection.ReadFailed()) << collection.ReadError();
    return names;
}

} // namespace

using CollectionSearch = CCollectionTest;

TEST_F(CollectionSearch, AFragmentFindsTheSameProgramsIndexedOrNot)
{
    const std::vector<std::string> names = {
        "Acid Bass", "acid_Bass%", "\xDC" "ber Pad", "Stra\xDF" "e", "Lead 50%", "Pad_2", "Say \"Hi\"", "AND OR",
        "Old Name", "Ab", "Caf\xE9 Keys",
    };
    {
        auto collection = OpenCollection();
        std::string error;
        CImportResult result;
        for (std::size_t i = 0; i < names.size(); ++i)
            ASSERT_TRUE(collection->ImportFileBytes("/p" + std::to_string(i) + ".syx",
                                                    OneProgramDump(MakeProgram(names[i], 100 + static_cast<unsigned>(i))),
                                                    result, error));
        // The first sound seen again under another name; the eighth renamed.
        ASSERT_TRUE(collection->ImportFileBytes("/again.syx", OneProgramDump(MakeProgram("Squelch 303", 100)), result,
                                                error));
        ASSERT_TRUE(collection->Rename(collection->SourcePrograms(collection->Sources()[8].id)[0], "Shiny", error));
        // A bank: its names are one source's document, one per line; one name holds a line
        // break of its own.
        std::vector<Bytes> bank = MakeBankPrograms("Zq", 300);
        bank[0] = MakeProgram("Warm", 290);
        bank[1] = MakeProgram("Pad\nTwo", 291);
        bank[2] = MakeProgram("Organ", 292);
        // Names side by side with nothing between, and bytes after a name's end.
        bank[3] = MakeProgram("Twelve Chars", 293);
        bank[4] = MakeProgram("Xylo", 294);
        bank[5] = MakeProgram(std::string("Bell\0Choir", 10), 295);
        bank[6] = MakeProgram("Q@[Z`{ \xC1\xDA", 296);   // the bytes either side of A-Z
        ASSERT_TRUE(collection->ImportFileBytes("/bank.syx", BankDump(bank), result, error));
    }

    const struct {
        std::string text;
        std::set<std::string> found;   // shown names
    } cases[] = {
        {"acid", {"Acid Bass", "acid_Bass%"}},
        {"ACID BASS", {"Acid Bass"}},
        {"squelch", {"Acid Bass"}},                  // a name seen later
        {"old name", {"Shiny"}},                     // the name before a rename
        {"SHINY", {"Shiny"}},
        {"%", {"acid_Bass%", "Lead 50%"}},           // SQL wildcards are plain characters
        {"_", {"acid_Bass%", "Pad_2"}},
        {"_2", {"Pad_2"}},
        {"d_2", {"Pad_2"}},
        {"50%", {"Lead 50%"}},
        {"s%", {"acid_Bass%"}},
        {"\xC3\xBC" "ber", {"\xDC" "ber Pad"}},       // "über" typed: found as printed, case ignored
        {"\xC3\x9C" "BER", {"\xDC" "ber Pad"}},
        {"\xDC" "ber", {"\xDC" "ber Pad"}},          // the raw byte as well
        {"stra\xC3\x9F" "e", {"Stra\xDF" "e"}},
        {"strasse", {}},
        {"caf\xC3\x89", {"Caf\xE9 Keys"}},
        {"\xC3\xA9 k", {"Caf\xE9 Keys"}},
        {"\"hi\"", {"Say \"Hi\""}},                  // quotes and FTS5's words are plain too
        {"and or", {"AND OR"}},
        {"ac*", {}},
        {"*", {}},
        {"r pa", {"\xDC" "ber Pad"}},
        {"ab", {"Ab"}},
        {"mp", {}},                                  // short ones, looked for in every name:
        {"ob", {}},                                  // not across two names either
        {"d\n", {"Pad\nTwo"}},
        {"\xC3\xA9", {"Caf\xE9 Keys"}},
        {"nothing here", {}},
        {"warm\npad", {}},                           // never across two names
        {"arm\np", {}},
        {"m\npa", {}},
        {"pad\ntwo", {"Pad\nTwo"}},                  // but across a name's own line break
        {"d\nt", {"Pad\nTwo"}},
        {"ad\ntwo", {"Pad\nTwo"}},
        {"two\nor", {}},
        {"charsxylo", {}},
        {"twelve chars", {"Twelve Chars"}},
        {"bell", {"Bell"}},
        {"choir", {}},
        {"q@[z`{", {"Q@[Z`{ \xC1\xDA"}},
        {"q`{z", {}},
        {"z@[", {}},
    };
    // First with every source waiting outside the index, then with all of them in it (a file
    // brought up from the third version has every name indexed at once), then from a file of
    // the seventh, whose index was made by FTS5's own trigram tokenizer.
    for (const char* when : {"not indexed", "indexed", "from version 7"}) {
        if (when == std::string("indexed"))
            MakeThirdVersionFile(DbPath());
        if (when == std::string("from version 7"))
            MakeOlderVersionFile(DbPath(), 7);
        auto collection = OpenCollection();
        for (const auto& c : cases) {
            CCollectionQuery query;
            query.text = c.text;
            EXPECT_EQ(ShownNames(*collection, collection->Search(query)), c.found) << "\"" << c.text << "\" " << when;
            EXPECT_EQ(collection->ProgramsNamed(c.text).size(), c.found.size()) << c.text;
        }
    }
}

// Many programs found: each once, in ascending order, whichever way they were looked for.
TEST_F(CollectionSearch, ManyProgramsFoundComeOnceEachInOrder)
{
    auto collection = OpenCollection();
    std::string error;
    CImportResult result;
    for (unsigned int bank = 0; bank < 10; ++bank) {
        const Bytes dump = BankDump(MakeBankPrograms("Zq" + std::to_string(bank), 1000 + 128 * bank));
        ASSERT_TRUE(collection->ImportFileBytes("/bank" + std::to_string(bank) + ".syx", dump, result, error));
        // The same programs again in another file: still one id each.
        ASSERT_TRUE(collection->ImportFileBytes("/copy" + std::to_string(bank) + ".syx", dump, result, error));
    }
    std::vector<CollectionId> all;
    for (const CCollectionProgram& program : collection->Search(CCollectionQuery()))
        all.push_back(program.id);
    std::sort(all.begin(), all.end());
    ASSERT_EQ(all.size(), 1280u);
    for (const char* fragment : {"z", "zq", "ZQ", "zq ", " 1"}) {
        std::vector<CollectionId> expected;
        for (const CCollectionProgram& program : collection->Search(CCollectionQuery()))
            if (SearchText(program.shownName, false).find(SearchText(fragment, true)) != std::string::npos)
                expected.push_back(program.id);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(collection->ProgramsNamed(fragment), expected) << fragment;
    }
}
