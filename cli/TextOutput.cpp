#include "TextOutput.h"

#include "SyxProgram.h"

std::string FieldText(std::string_view text, bool latin1)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += ' ';
        } else if (byte >= 0x80 && latin1) {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            out += c;
        }
    }
    return out;
}

std::string ProgramLine(const CSyxProgram& program)
{
    std::string line = FieldText(program.GetFileNameView(), false);
    line += '\t';
    line += program.GetBankView();
    line += '\t';
    line += program.GetNumberView();
    line += '\t';
    line += FieldText(program.GetNameView(), true);
    line += '\t';
    line += program.GetVoiceModeView();
    return line;
}

std::string GroupedNumber(std::size_t value)
{
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

CProgressLine::CProgressLine(std::ostream& stream, bool enabled, std::string verb)
    : m_stream(stream), m_enabled(enabled), m_verb(std::move(verb))
{
}

CProgressLine::~CProgressLine()
{
    Finish();
}

void CProgressLine::Update(std::size_t done, std::size_t expected)
{
    if (!m_enabled || expected == 0)
        return;
    const int percent = static_cast<int>(done >= expected ? 100 : done * 100 / expected);
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    m_stream << '\r' << m_verb << ' ' << GroupedNumber(done) << " of " << GroupedNumber(expected) << " bytes ("
             << percent << "%)\x1b[K" << std::flush;
    m_shown = true;
}

void CProgressLine::Finish()
{
    if (m_shown)
        m_stream << '\n' << std::flush;
    m_shown = false;
    m_lastPercent = -1;
}
