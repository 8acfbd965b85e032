#include "WindowSettings.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <unistd.h>

namespace {

// Settings files are a few hundred bytes; anything far bigger is not the window's.
constexpr std::streamsize MAX_SETTINGS_SIZE = 1 << 20;

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

void AppendUtf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | ((code >> 12) & 0x0F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Undoes QSettings' escaping of one value. Returns false for a value that QSettings reads
// as something other than one string (an unquoted comma makes a list).
bool UnescapeValue(const std::string& raw, std::string& value)
{
    value.clear();
    bool quoted = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            return false;
        } else if (c == ';' && !quoted) {
            break;  // a comment to the end of the line
        } else if (c == '\\' && i + 1 < raw.size()) {
            const char e = raw[++i];
            switch (e) {
            case 'a': value += '\a'; break;
            case 'b': value += '\b'; break;
            case 'f': value += '\f'; break;
            case 'n': value += '\n'; break;
            case 'r': value += '\r'; break;
            case 't': value += '\t'; break;
            case 'v': value += '\v'; break;
            case 'x': {
                // \xHHHH: a character code, as older versions of Qt wrote non-ASCII text.
                // Like Qt, every hex digit that follows belongs to it.
                unsigned long code = 0;
                while (i + 1 < raw.size() && HexDigit(raw[i + 1]) >= 0)
                    code = std::min(code * 16 + static_cast<unsigned long>(HexDigit(raw[++i])), 0x10000UL);
                AppendUtf8(value, code < 0x10000 ? code : '?');
                break;
            }
            default: value += e; break;  // \\ \" \' \? and anything else stand for themselves
            }
        } else if (!quoted && (c == ' ' || c == '\t') && value.empty()) {
            // blanks before the value are not part of it
        } else {
            value += c;
        }
    }
    if (!raw.empty() && raw.front() != '"') {
        // Unquoted trailing blanks are not part of the value either.
        const auto last = value.find_last_not_of(" \t");
        value.erase(last == std::string::npos ? 0 : last + 1);
    }
    if (value.compare(0, 2, "@@") == 0) {
        value.erase(0, 1);
    } else if (!value.empty() && value[0] == '@') {
        return false;  // a typed value (@Variant, @ByteArray...), not a plain string
    }
    return true;
}

}  // namespace

std::string WindowSettingsPath()
{
    std::string configHome;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Like Qt, which the window uses: any non-empty value, a relative one taken from the
    // current folder.
    if (xdg != nullptr && xdg[0] != '\0') {
        configHome = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            const passwd* user = getpwuid(getuid());
            home = user != nullptr ? user->pw_dir : nullptr;
        }
        if (home == nullptr || home[0] == '\0')
            return std::string();
        configHome = std::string(home) + "/.config";
    }
    return configHome + "/Veltrix/Veltrix.conf";
}

std::optional<std::string> FindIniString(const std::string& iniText, const std::string& section,
                                         const std::string& key)
{
    std::optional<std::string> found;
    std::string current;
    size_t start = 0;
    while (start < iniText.size()) {
        size_t end = iniText.find('\n', start);
        if (end == std::string::npos)
            end = iniText.size();
        const std::string line = Trim(iniText.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            const auto close = line.find(']');
            current = close == std::string::npos ? std::string() : line.substr(1, close - 1);
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos || current != section || Trim(line.substr(0, equals)) != key)
            continue;
        std::string value;
        if (UnescapeValue(Trim(line.substr(equals + 1)), value))
            found = value;  // the last one wins, as in QSettings
        else
            found.reset();
    }
    return found;
}

namespace {

std::string ReadSettingsText(const std::string& settingsPath)
{
    if (settingsPath.empty())
        return std::string();
    std::ifstream file(settingsPath, std::ios::binary);
    if (!file)
        return std::string();
    std::string text(static_cast<size_t>(MAX_SETTINGS_SIZE), '\0');
    file.read(&text[0], MAX_SETTINGS_SIZE);
    text.resize(static_cast<size_t>(file.gcount()));
    return text;
}

}  // namespace

std::string ReadStoredPortName(const std::string& settingsPath)
{
    return FindIniString(ReadSettingsText(settingsPath), "midi", "port").value_or(std::string());
}

CStoredPort ReadStoredPort(const std::string& settingsPath)
{
    const std::string text = ReadSettingsText(settingsPath);
    return {FindIniString(text, "midi", "port").value_or(std::string()),
            FindIniString(text, "midi", "address").value_or(std::string())};
}

std::string ReadStoredModel(const std::string& settingsPath)
{
    return FindIniString(ReadSettingsText(settingsPath), "editor", "model").value_or(std::string());
}
