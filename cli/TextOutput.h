#pragma once
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

class CSyxProgram;

// A text made fit for one tab-separated field and safe on a terminal. Name bytes of 128 and
// above are Latin-1 characters (as the window shows them) and come out as UTF-8 when
// `latin1` is set; other texts (paths, port names) are UTF-8, and a byte that is not part of
// a UTF-8 character is escaped. Control characters, the C1 ones (128-159) included, are
// escaped as \t, \n, \r or \xHH, so that every record stays one line and no terminal
// escape is ever printed raw.
std::string FieldText(std::string_view text, bool latin1);

// What the user typed (an argument, a path), as an error message echoes it: escaped as
// FieldText escapes paths, and cut in the middle to about ARGUMENT_SHOWN_MAX bytes, so that
// a mistyped 10,000-character argument does not bury the message.
constexpr std::size_t ARGUMENT_SHOWN_MAX = 160;
std::string ShownArgument(std::string_view text);

// `message` with `path` in it, and the folder of it that a message may name, shown as
// ShownArgument shows them, and any control character left escaped: for texts made
// elsewhere (the Collection's) that name a path the user typed.
std::string ShownMessage(const std::string& message, const std::string& path);

// One line of `list`: file, bank, number, name and voice mode, separated by tabs.
std::string ProgramLine(const CSyxProgram& program);

// "12,345": byte counts for people.
std::string GroupedNumber(std::size_t value);

// A progress line on a terminal: "Receiving... 4,512 of 37,163 bytes (12%)", rewritten in
// place. Does nothing when it is not enabled (stderr is not a terminal).
class CProgressLine
{
public:
    CProgressLine(std::ostream& stream, bool enabled, std::string verb);
    ~CProgressLine();
    void Update(std::size_t done, std::size_t expected);
    // Ends the line, so that what follows starts on a line of its own.
    void Finish();

private:
    std::ostream& m_stream;
    bool m_enabled;
    std::string m_verb;
    bool m_shown = false;
    int m_lastPercent = -1;
};
