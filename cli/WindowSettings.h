#pragma once
#include <optional>
#include <string>

// The window's settings, read without Qt. The window keeps them with QSettings in an INI
// file: $XDG_CONFIG_HOME/Veltrix/Veltrix.conf, or ~/.config/Veltrix/Veltrix.conf.

// Where the window's settings file is; empty when neither XDG_CONFIG_HOME nor a home folder
// is known.
std::string WindowSettingsPath();

// The string stored under [section] key in INI text written by QSettings (quoted values,
// backslash escapes, "@@" for a leading '@'), or nothing when it is absent or is not a plain
// string. Lines that make no sense are skipped: a damaged file never stops the reading.
std::optional<std::string> FindIniString(const std::string& iniText, const std::string& section,
                                         const std::string& key);

// The MIDI port the window stored ([midi] port), or an empty string when there is none or the
// file cannot be read.
std::string ReadStoredPortName(const std::string& settingsPath);

// The port the window stored: its listed name ([midi] port) and its address ([midi] address),
// each empty when absent.
struct CStoredPort
{
    std::string name;
    std::string address;
};
CStoredPort ReadStoredPort(const std::string& settingsPath);

// The instrument the window shows parameters for ([editor] model: "ms2000" or "microkorg", as
// stored), or an empty string when there is none or the file cannot be read.
std::string ReadStoredModel(const std::string& settingsPath);
