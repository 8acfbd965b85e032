// Marks on programs: the name rules, tags, unknown ids.

#include "CollectionTestSupport.h"

using CollectionMarks = CCollectionTest;

TEST_F(CollectionMarks, RenameTakesOneToTwelvePrintableAsciiCharacters)
{
    auto collection = OpenCollection();
    CImportResult result;
    std::string error;
    ASSERT_TRUE(collection->ImportFileBytes("/one.syx", OneProgramDump(MakeProgram("Old", 1)), result, error));
    const CollectionId id = collection->SourcePrograms(result.source)[0];

    const struct {
        std::string name;
        bool valid;
        std::string shown;
    } cases[] = {
        {"New Name", true, "New Name"},
        {"Twelve chars", true, "Twelve chars"},
        {"~!@#$%^&*()_", true, "~!@#$%^&*()_"},
        {"Pad   ", true, "Pad"},            // blank padding as the synthesizer writes it
        {"", false, ""},
        {"   ", false, ""},
        {"Thirteen char", false, ""},
        {"Tab\there", false, ""},
        {"Caf\xc3\xa9", false, ""},
        {std::string("Nul\0", 4), false, ""},
    };
    for (const auto& c : cases) {
        error.clear();
        EXPECT_EQ(collection->Rename(id, c.name, error), c.valid) << c.name;
        EXPECT_EQ(error.empty(), c.valid) << c.name;
        CCollectionProgram program;
        ASSERT_TRUE(collection->GetProgram(id, program));
        if (c.valid) {
            EXPECT_EQ(program.shownName, c.shown);
        }
    }
    CollectionProgramData data{};
    ASSERT_TRUE(collection->ProgramData(id, data));
    EXPECT_EQ(std::string(data.begin(), data.begin() + 12), "Pad         ");
    EXPECT_TRUE(std::equal(data.begin() + 12, data.end(), MakeProgram("Old", 1).begin() + 12));
    EXPECT_FALSE(collection->Rename(id + 1000, "Fine", error));
    EXPECT_EQ(error, "No program " + std::to_string(id + 1000) + " in the Collection");
}

TEST_F(CollectionMarks, TagsIgnoreLetterCaseAndTheOtherMarksStick)
{
    auto collection = OpenCollection();
    CImportResult result;
    std::string error;
    ASSERT_TRUE(collection->ImportFileBytes("/one.syx", OneProgramDump(MakeProgram("P", 1)), result, error));
    const CollectionId id = collection->SourcePrograms(result.source)[0];

    ASSERT_TRUE(collection->AddTag(id, "Pads", error));
    ASSERT_TRUE(collection->AddTag(id, "pads", error));
    ASSERT_TRUE(collection->AddTag(id, "bright", error));
    std::string fortyCharacters;
    for (int i = 0; i < 40; ++i)
        fortyCharacters += "\xC3\xA9";   // é: 40 characters in 80 bytes
    const struct {
        std::string tag;
        bool valid;
    } tags[] = {
        {"a,b", false}, {"", false}, {"   ", false}, {"\t", false}, {std::string(41, 'x'), false},
        {std::string(40, 'x'), true}, {fortyCharacters, true}, {fortyCharacters + "e", false}, {"Tab\there", false},
    };
    for (const auto& t : tags) {
        error.clear();
        EXPECT_EQ(collection->AddTag(id, t.tag, error), t.valid) << t.tag;
        EXPECT_EQ(CCollection::CheckTag(t.tag, error), t.valid) << t.tag;
        if (t.valid) {
            ASSERT_TRUE(collection->RemoveTag(id, t.tag, error));
        }
    }
    ASSERT_TRUE(collection->SetFavourite(id, true, error));
    ASSERT_TRUE(collection->SetComment(id, "for the live set", error));
    ASSERT_TRUE(collection->SetHidden(id, true, error));

    CCollectionProgram program;
    ASSERT_TRUE(collection->GetProgram(id, program));
    EXPECT_EQ(program.tags, (std::vector<std::string>{"bright", "Pads"}));
    EXPECT_TRUE(program.favourite);
    EXPECT_TRUE(program.hidden);
    EXPECT_EQ(program.comment, "for the live set");
    EXPECT_EQ(collection->Tags(), (std::vector<std::string>{"bright", "Pads"}));

    ASSERT_TRUE(collection->RemoveTag(id, "PADS", error));
    ASSERT_TRUE(collection->GetProgram(id, program));
    EXPECT_EQ(program.tags, (std::vector<std::string>{"bright"}));

    for (auto mark : {&CCollection::SetFavourite, &CCollection::SetHidden}) {
        error.clear();
        EXPECT_FALSE((collection.get()->*mark)(999, true, error));
        EXPECT_EQ(error, "No program 999 in the Collection");
    }
    EXPECT_FALSE(collection->AddTag(999, "x", error));
}

TEST_F(CollectionMarks, ChangesMadeTogetherAreKeptTogetherOrNotAtAll)
{
    auto collection = OpenCollection();
    CImportResult result;
    std::string error;
    ASSERT_TRUE(collection->ImportFileBytes("/bank.syx", BankDump(MakeBankPrograms("B", 1)), result, error));
    const std::vector<CollectionId> ids = collection->SourcePrograms(result.source);
    // The third change fails: the first two are not kept.
    EXPECT_FALSE(collection->ChangeTogether(
        [&](std::string& why) {
            return collection->AddTag(ids[0], "x", why) && collection->Rename(ids[1], "Both", why)
                && collection->AddTag(999999, "x", why);
        },
        error));
    EXPECT_EQ(error, "No program 999999 in the Collection");
    CCollectionQuery tagged;
    tagged.tag = "x";
    EXPECT_TRUE(collection->Search(tagged).empty());
    CCollectionProgram program;
    ASSERT_TRUE(collection->GetProgram(ids[1], program));
    EXPECT_EQ(program.shownName, "B 1");

    ASSERT_TRUE(collection->ChangeTogether(
        [&](std::string& why) {
            for (const CollectionId id : ids)
                if (!collection->AddTag(id, "all", why))
                    return false;
            return collection->Rename(ids[1], "Both", why);
        },
        error))
        << error;
    tagged.tag = "all";
    EXPECT_EQ(collection->Search(tagged).size(), 128u);
    ASSERT_TRUE(collection->GetProgram(ids[1], program));
    EXPECT_EQ(program.shownName, "Both");
}
