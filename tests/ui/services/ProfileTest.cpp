#include "services/Profile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class ProfileTest : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return dir.filePath(name); }

    void WriteFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray ReadFile(const QString& name) const
    {
        QFile file(PathOf(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(ProfileTest, MissingFileGivesTheDefaults)
{
    CSettingsProfile profile(PathOf("absent.ini"));
    EXPECT_EQ(profile.GetProfileInt("rect", "left", -7), -7);
    EXPECT_EQ(profile.GetProfileString("midi", "port", "none"), "none");
}

TEST_F(ProfileTest, ValuesThatAreNotNumbersGiveTheDefault)
{
    WriteFile("profile.ini", "[midi]\nchan=twelve\nport=USB Synth\n[rect]\ntop= 42 \nleft=12px\n");
    CSettingsProfile profile(PathOf("profile.ini"));
    EXPECT_EQ(profile.GetProfileInt("midi", "chan", 3), 3);
    EXPECT_EQ(profile.GetProfileInt("midi", "port", 5), 5);
    EXPECT_EQ(profile.GetProfileInt("rect", "left", 9), 9);
    EXPECT_EQ(profile.GetProfileInt("rect", "top", 9), 42);
    EXPECT_EQ(profile.GetProfileString("midi", "port", ""), "USB Synth");
    EXPECT_EQ(profile.GetProfileString("midi", "absent", "x"), "x");
}

TEST_F(ProfileTest, WrittenValuesAreReadBackAfterReopening)
{
    {
        CSettingsProfile profile(PathOf("profile.ini"));
        profile.WriteProfileInt("rect", "right", 1024);
        profile.WriteProfileInt("midi", "chan", -1);
        profile.WriteProfileString("app", "curdir", "/home/user/My Sounds, old");
        profile.WriteProfileString("midi", "port", "");
    }
    CSettingsProfile profile(PathOf("profile.ini"));
    EXPECT_EQ(profile.GetProfileInt("rect", "right", 0), 1024);
    EXPECT_EQ(profile.GetProfileInt("midi", "chan", 0), -1);
    EXPECT_EQ(profile.GetProfileString("app", "curdir", ""), "/home/user/My Sounds, old");
    EXPECT_EQ(profile.GetProfileString("midi", "port", "default"), "");
}

TEST_F(ProfileTest, CorruptFileGivesDefaultsAndIsKeptAside)
{
    const QByteArray junk("\x7f" "ELF\x02\x01\x01\x00\x00\x00\x00[\x13\xff\xfe rect\nleft=5\n", 28);
    WriteFile("profile.ini", junk);
    WriteFile("profile.ini.corrupt", "an older corrupt copy");
    {
        CSettingsProfile profile(PathOf("profile.ini"));
        EXPECT_EQ(profile.GetProfileInt("rect", "left", 77), 77);
        EXPECT_EQ(profile.GetProfileString("rect", "left", "d"), "d");
        EXPECT_EQ(ReadFile("profile.ini.corrupt"), junk);
        EXPECT_EQ(profile.SetAsideFile(), PathOf("profile.ini.corrupt"));
        profile.WriteProfileInt("rect", "left", 5);
    }
    // The next start reads a sound file again.
    CSettingsProfile profile(PathOf("profile.ini"));
    EXPECT_EQ(profile.GetProfileInt("rect", "left", 77), 5);
    EXPECT_TRUE(profile.SetAsideFile().isEmpty());
    EXPECT_EQ(ReadFile("profile.ini.corrupt"), junk);
}

TEST_F(ProfileTest, UnclosedSectionMakesTheFileCorrupt)
{
    WriteFile("profile.ini", "[rect\nleft=5\n");
    CSettingsProfile profile(PathOf("profile.ini"));
    EXPECT_EQ(profile.GetProfileInt("rect", "left", 1), 1);
    EXPECT_TRUE(QFile::exists(PathOf("profile.ini.corrupt")));
}
}  // namespace
