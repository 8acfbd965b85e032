// The slot names' tokenizer, through FTS5 itself: the terms a document gives, read back with
// fts5vocab, for lines of one- and two-byte characters, short lines, and a document with more
// distinct trigrams than the tokenizer's table of those already given.

#include "NameTokenizer.h"
#include "SqliteDb.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::set<std::string> TermsOf(const std::string& document)
{
    int code = 0;
    std::string error;
    auto db = CSqliteDb::Open(":memory:", code, error);
    EXPECT_TRUE(db) << error;
    if (!db)
        return {};
    const std::string create = std::string("CREATE VIRTUAL TABLE slots USING fts5(names, tokenize = '") + NAME_TOKENIZER
        + "', content = '', detail = 'none', columnsize = 0);"
          "CREATE VIRTUAL TABLE terms USING fts5vocab(slots, 'row');";
    EXPECT_TRUE(db->Exec(create.c_str())) << db->ErrorText();
    CSqliteQuery insert(*db, "INSERT INTO slots(rowid, names) VALUES(1, ?)");
    EXPECT_TRUE(insert.BindText(1, document).Run()) << db->ErrorText();
    std::set<std::string> terms;
    CSqliteQuery read(*db, "SELECT term FROM terms");
    while (read.Next())
        terms.insert(read.Text(0));
    EXPECT_FALSE(read.Failed()) << db->ErrorText();
    return terms;
}

} // namespace

TEST(NameTokenizer, GivesEachThreeCharactersOfALineAndNoneAcrossTwo)
{
    const struct {
        std::string document;
        std::set<std::string> terms;
    } cases[] = {
        {"", {}},
        {"ab", {}},
        {"abc", {"abc"}},
        {"pad pad", {"pad", "ad ", "d p", " pa"}},               // a repeat is one term
        {"warm\npad", {"war", "arm", "pad"}},                  // not "rm\np", "m\npa"
        {"ab\ncd\nef", {}},
        {"\n\nabc\n", {"abc"}},
        {"\xC3\xBC" "ber", {"\xC3\xBC" "be", "ber"}},         // "über": characters, not bytes
        {"caf\xC3\xA9\nx\xC3\xA9" "\xC3\xA9", {"caf", "af\xC3\xA9", "x\xC3\xA9\xC3\xA9"}},
        {"\xE2\x82\xAC" "ab", {"\xE2\x82\xAC" "ab"}},          // a character over U+00FF, as typed
    };
    for (const auto& c : cases)
        EXPECT_EQ(TermsOf(c.document), c.terms) << c.document;
}

TEST(NameTokenizer, ADocumentOfManyDistinctTrigramsLosesNone)
{
    // 26 x 26 x 6 = 4,056 names of three letters: more than the table of those given holds.
    std::string document;
    std::set<std::string> expected;
    for (char a = 'a'; a <= 'z'; ++a)
        for (char b = 'a'; b <= 'z'; ++b)
            for (char c = 'a'; c <= 'f'; ++c) {
                const std::string name{a, b, c};
                document += name + "\n" + name + "\n";   // each twice
                expected.insert(name);
            }
    EXPECT_EQ(TermsOf(document), expected);
}
