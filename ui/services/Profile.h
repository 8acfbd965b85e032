#pragma once
#include <QString>

#include <memory>

class QSettings;

// The per-user settings profile: integers and strings by section and key, read with a
// default when absent.
class IProfile {
public:
    virtual ~IProfile() = default;
    virtual int GetProfileInt(const QString& section, const QString& key, int defaultValue) = 0;
    virtual QString GetProfileString(const QString& section, const QString& key,
                                     const QString& defaultValue) = 0;
    virtual void WriteProfileInt(const QString& section, const QString& key, int value) = 0;
    virtual void WriteProfileString(const QString& section, const QString& key,
                                    const QString& value) = 0;
};

// The profile kept by QSettings: organisation and application "Veltrix" (on Linux an INI
// file in the user's config folder), or a given INI file. A value that is missing or not
// a number reads as the default. A file that cannot be parsed is moved aside to
// "<file>.corrupt" so that it is neither lost nor read, and the defaults apply.
class CSettingsProfile : public IProfile {
public:
    CSettingsProfile();
    explicit CSettingsProfile(const QString& iniFile);
    ~CSettingsProfile() override;

    int GetProfileInt(const QString& section, const QString& key, int defaultValue) override;
    QString GetProfileString(const QString& section, const QString& key,
                             const QString& defaultValue) override;
    void WriteProfileInt(const QString& section, const QString& key, int value) override;
    void WriteProfileString(const QString& section, const QString& key,
                            const QString& value) override;

    // Writes pending changes to storage.
    void Flush();

    // Where an unreadable profile file was moved at construction; empty when it was sound.
    QString SetAsideFile() const { return m_setAsideFile; }

private:
    void SetAsideIfCorrupt();

    std::unique_ptr<QSettings> m_settings;
    QString m_iniFile;
    QString m_setAsideFile;
};
