#include "TextOutput.h"

#include "SyxProgram.h"

#include <algorithm>
#include <vector>

namespace {

void AppendEscaped(std::string& out, unsigned char byte)
{
    switch (byte) {
    case '\t': out += "\\t"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    default: break;
    }
    static const char HEX[] = "0123456789abcdef";
    out += "\\x";
    out += HEX[byte >> 4];
    out += HEX[byte & 0x0F];
}

bool IsContinuation(std::string_view text, std::size_t at)
{
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character at `at` (1 to 4), or 0 when there is none.
std::size_t Utf8Length(std::string_view text, std::size_t at, unsigned int& codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    const unsigned char second = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
    if (second < low || second > high)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(text, at + i))
            return 0;
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    }
    return length;
}

// Calls `piece` with each shown piece of `text`: a character as it is printed, or the
// escape that stands for a byte.
template <typename Piece>
void ForEachShownPiece(std::string_view text, bool latin1, Piece piece)
{
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        shown.clear();
        std::size_t length = 1;
        if (byte < 0x20 || byte == 0x7F) {
            AppendEscaped(shown, byte);
        } else if (byte < 0x80) {
            shown += static_cast<char>(byte);
        } else if (latin1) {
            if (byte < 0xA0) {
                AppendEscaped(shown, byte);   // a C1 control character
            } else {
                shown += static_cast<char>(0xC0 | (byte >> 6));
                shown += static_cast<char>(0x80 | (byte & 0x3F));
            }
        } else {
            unsigned int codePoint = 0;
            length = Utf8Length(text, at, codePoint);
            if (length == 0 || codePoint < 0xA0) {
                // Not UTF-8, or a C1 control character written in it: every byte escaped.
                length = length == 0 ? 1 : length;
                for (std::size_t i = 0; i < length; ++i)
                    AppendEscaped(shown, static_cast<unsigned char>(text[at + i]));
            } else {
                shown.append(text.substr(at, length));
            }
        }
        piece(std::string_view(shown));
        at += length;
    }
}

}  // namespace

std::string FieldText(std::string_view text, bool latin1)
{
    std::string out;
    out.reserve(text.size());
    ForEachShownPiece(text, latin1, [&out](std::string_view piece) { out.append(piece); });
    return out;
}

std::string ShownArgument(std::string_view text)
{
    std::vector<std::string> pieces;
    std::size_t total = 0;
    ForEachShownPiece(text, false, [&](std::string_view piece) {
        pieces.emplace_back(piece);
        total += piece.size();
    });
    std::string out;
    if (total <= ARGUMENT_SHOWN_MAX) {
        for (const std::string& piece : pieces)
            out += piece;
        return out;
    }
    // The start and the end: a path's folder and its file name.
    const std::size_t half = ARGUMENT_SHOWN_MAX / 2;
    std::size_t front = 0, frontBytes = 0;
    while (front < pieces.size() && frontBytes + pieces[front].size() <= half)
        frontBytes += pieces[front++].size();
    std::size_t back = pieces.size(), backBytes = 0;
    while (back > front && backBytes + pieces[back - 1].size() <= half)
        backBytes += pieces[--back].size();
    for (std::size_t i = 0; i < front; ++i)
        out += pieces[i];
    out += "...";
    for (std::size_t i = back; i < pieces.size(); ++i)
        out += pieces[i];
    return out;
}

std::string ShownMessage(const std::string& message, const std::string& path)
{
    // The path before its folder, so that a path is not taken for its folder.
    std::vector<std::string> arguments;
    if (!path.empty())
        arguments.push_back(path);
    if (const auto slash = path.rfind('/'); slash != std::string::npos && slash > 0)
        arguments.push_back(path.substr(0, slash));
    std::string out;
    std::size_t plain = 0;   // where the text not yet shown starts
    for (std::size_t at = 0; at < message.size();) {
        const auto found = std::find_if(arguments.begin(), arguments.end(), [&](const std::string& argument) {
            return message.compare(at, argument.size(), argument) == 0;
        });
        if (found == arguments.end()) {
            ++at;
            continue;
        }
        out += FieldText(std::string_view(message).substr(plain, at - plain), false) + ShownArgument(*found);
        at += found->size();
        plain = at;
    }
    return out + FieldText(std::string_view(message).substr(plain), false);
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
