// What veltrix-cli prints of names, paths and arguments: one line each, and nothing a
// terminal would take for a command.
#include "TextOutput.h"

#include <gtest/gtest.h>

TEST(TextOutput, ControlCharactersAreEscapedAndTextIsKept)
{
    struct Case {
        std::string text;
        bool latin1;        // a program name: bytes of 128 and above are Latin-1
        std::string shown;
    };
    const Case cases[] = {
        {"Warm Pad", true, "Warm Pad"},
        {"Caf\xE9", true, "Caf\xC3\xA9"},
        {"Tab\tLine\nEnd\r", true, "Tab\\tLine\\nEnd\\r"},
        {"\x1b[31mRed", true, "\\x1b[31mRed"},
        {"Del\x7F", true, "Del\\x7f"},
        {"C1\x9b" "2J", true, "C1\\x9b2J"},                       // CSI, as Latin-1
        {"/home/me/caf\xC3\xA9.syx", false, "/home/me/caf\xC3\xA9.syx"},
        {"/dumps/\xE2\x82\xAC/\xF0\x9F\x8E\xB9", false, "/dumps/\xE2\x82\xAC/\xF0\x9F\x8E\xB9"},
        {"/a\xC2\x9B" "2J", false, "/a\\xc2\\x9b2J"},             // CSI, written in UTF-8
        {"/latin\xE9.syx", false, "/latin\\xe9.syx"},            // not UTF-8
        {"/over\xC0\xAF", false, "/over\\xc0\\xaf"},             // an overlong '/'
        {"/cut\xE2\x82", false, "/cut\\xe2\\x82"},               // a character cut short
        {"/\x1b]0;title\x07", false, "/\\x1b]0;title\\x07"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FieldText(c.text, c.latin1), c.shown) << c.shown;
}

TEST(TextOutput, LongArgumentsAreCutInTheMiddleOnACharacter)
{
    EXPECT_EQ(ShownArgument("short \x1b"), "short \\x1b");

    const std::string path = "/" + std::string(5000, 'a') + "/bank.syx";
    const std::string shown = ShownArgument(path);
    EXPECT_LE(shown.size(), ARGUMENT_SHOWN_MAX + 3);
    EXPECT_EQ(shown.substr(0, 10), "/aaaaaaaaa");
    EXPECT_EQ(shown.substr(shown.size() - 9), "/bank.syx") << "the file name is kept";
    EXPECT_NE(shown.find("..."), std::string::npos);

    // Neither a character nor an escape is ever split.
    for (const std::string& piece : {std::string("\xC3\xA9"), std::string("\x1b"), std::string("\xE2\x82\xAC")}) {
        std::string text;
        while (text.size() < 3 * ARGUMENT_SHOWN_MAX)
            text += piece;
        const std::string cut = ShownArgument(text);
        const std::string whole = FieldText(piece, false);
        const std::string start = cut.substr(0, cut.find("..."));
        const std::string end = cut.substr(cut.find("...") + 3);
        EXPECT_EQ(start.size() % whole.size(), 0u) << cut;
        EXPECT_EQ(end.size() % whole.size(), 0u) << cut;
        EXPECT_EQ(start.substr(0, whole.size()), whole);
    }

    // A message of another part that names the path (and its folder) shows them the same way.
    const std::string folder = "/" + std::string(3000, 'f') + "\x1b";
    const std::string message = "Cannot use the Collection " + folder + "/c.sqlite. Cannot make its folder " + folder;
    const std::string safe = ShownMessage(message, folder + "/c.sqlite");
    EXPECT_LT(safe.size(), 2 * ARGUMENT_SHOWN_MAX + 80) << safe;
    EXPECT_EQ(safe.find('\x1b'), std::string::npos);
    EXPECT_EQ(safe.rfind("Cannot use the Collection /fff", 0), 0u) << safe;
}
