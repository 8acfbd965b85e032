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
    EXPECT_FALSE(collection->AddTag(id, "a,b", error));
    EXPECT_FALSE(collection->AddTag(id, "", error));
    EXPECT_FALSE(collection->AddTag(id, std::string(41, 'x'), error));
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
