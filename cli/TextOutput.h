#pragma once
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

class CSyxProgram;

// A text made fit for one tab-separated field: name bytes of 128 and above are Latin-1
// characters (as the window shows them) and come out as UTF-8 when `latin1` is set; tabs,
// line breaks and other control characters become spaces, so that every program stays one
// line of five fields.
std::string FieldText(std::string_view text, bool latin1);

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
