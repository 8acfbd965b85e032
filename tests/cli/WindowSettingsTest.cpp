#include "WindowSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

// Each value below is what QSettings (Qt 6, INI format) writes for the port name named in
// the comment; the reader must give that name back.
const char* const QT_WRITTEN =
    "[General]\n"
    "port=not this one\n"
    "\n"
    "[midi]\n"
    "chan=3\n"
    "port=Serial MIDI 1\n"
    "comma=\"UM-ONE, MIDI 1\"\n"        // UM-ONE, MIDI 1
    "semicolon=\"a;b\"\n"               // a;b
    "equals=\"k=v\"\n"                  // k=v
    "lead=\" lead\"\n"                  // " lead"
    "trail=\"trail \"\n"                // "trail "
    "quote=q\\\"uote\n"                 // q"uote
    "backslash=back\\\\slash\n"         // back\slash
    "at=@@at\n"                         // @at
    "tab=tab\\there\n"                  // tab<TAB>here
    "utf8=\xC3\x9Cn\xC3\xAF MIDI\n"     // Üní MIDI
    "hash=#hash\n"                      // #hash
    "\n"
    "[rect]\n"
    "top=50\n";

std::optional<std::string> Midi(const std::string& key)
{
    return FindIniString(QT_WRITTEN, "midi", key);
}

}  // namespace

TEST(WindowSettings, ReadsWhatQSettingsWrites)
{
    EXPECT_EQ(Midi("port"), "Serial MIDI 1");
    EXPECT_EQ(Midi("comma"), "UM-ONE, MIDI 1");
    EXPECT_EQ(Midi("semicolon"), "a;b");
    EXPECT_EQ(Midi("equals"), "k=v");
    EXPECT_EQ(Midi("lead"), " lead");
    EXPECT_EQ(Midi("trail"), "trail ");
    EXPECT_EQ(Midi("quote"), "q\"uote");
    EXPECT_EQ(Midi("backslash"), "back\\slash");
    EXPECT_EQ(Midi("at"), "@at");
    EXPECT_EQ(Midi("tab"), "tab\there");
    EXPECT_EQ(Midi("utf8"), "\xC3\x9Cn\xC3\xAF MIDI");
    EXPECT_EQ(Midi("hash"), "#hash");
    EXPECT_FALSE(Midi("missing").has_value());
    EXPECT_FALSE(FindIniString(QT_WRITTEN, "rect", "port").has_value());
}

TEST(WindowSettings, ReadsAsQSettingsReads)
{
    // Comments, blanks around keys and values, older Qt's \x escapes, and the last of two keys.
    EXPECT_EQ(FindIniString("[midi]\n ; port=x\n#port=y\n  port  =  USB MIDI  ;note\n", "midi", "port"), "USB MIDI");
    EXPECT_EQ(FindIniString("[midi]\r\nport=\\xdcnter\r\n", "midi", "port"), "\xC3\x9Cnter");
    EXPECT_EQ(FindIniString("[midi]\nport=one\nport=two\n", "midi", "port"), "two");
    // What QSettings would read as a list or a typed value is not a port name.
    EXPECT_FALSE(FindIniString("[midi]\nport=a, b\n", "midi", "port").has_value());
    EXPECT_FALSE(FindIniString("[midi]\nport=@Variant(\\0\\0\\0\\x7f)\n", "midi", "port").has_value());
}

TEST(WindowSettings, ADamagedFileNeverStopsTheReading)
{
    std::string junk = "[midi\n=\n[]\nport\n\x01\x02\xFF\xFE=\"unterminated\n[midi]\nport=\"open quote\n";
    junk += std::string("\0\0\0", 3);
    EXPECT_EQ(FindIniString(junk, "midi", "port"), "open quote");
    EXPECT_FALSE(FindIniString(std::string(4096, '\xFF'), "midi", "port").has_value());
    EXPECT_EQ(ReadStoredPortName("/nonexistent/Veltrix.conf"), "");
    EXPECT_EQ(ReadStoredPortName(""), "");
    EXPECT_EQ(ReadStoredPortName("/"), "");  // a folder
}

TEST(WindowSettings, PathHonoursXdgConfigHome)
{
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg ? savedXdg : "";
    const std::string home = savedHome ? savedHome : "";

    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(WindowSettingsPath(), "/tmp/cfg/Veltrix/Veltrix.conf");
    setenv("HOME", "/home/musician", 1);
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(WindowSettingsPath(), "/home/musician/.config/Veltrix/Veltrix.conf");
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // taken from the current folder, as Qt does
    EXPECT_EQ(WindowSettingsPath(), "relative/cfg/Veltrix/Veltrix.conf");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(WindowSettingsPath(), "/home/musician/.config/Veltrix/Veltrix.conf");

    savedXdg ? setenv("XDG_CONFIG_HOME", xdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
}

TEST(WindowSettings, ReadsTheStoredPortFromTheFile)
{
    char folder[] = "/tmp/veltrix-cli-settings-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/Veltrix.conf";
    std::ofstream(path) << QT_WRITTEN;
    EXPECT_EQ(ReadStoredPortName(path), "Serial MIDI 1");
    unlink(path.c_str());
    rmdir(folder);
}
