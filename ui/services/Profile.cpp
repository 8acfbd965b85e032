#include "Profile.h"

#include <QFile>
#include <QSettings>

namespace {
const char* const ORGANISATION = "Veltrix";
const char* const APPLICATION = "Veltrix";

QString Path(const QString& section, const QString& key)
{
    return section + '/' + key;
}
}  // namespace

CSettingsProfile::CSettingsProfile()
    : m_settings(std::make_unique<QSettings>(ORGANISATION, APPLICATION))
{
    SetAsideIfCorrupt();
}

CSettingsProfile::CSettingsProfile(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)), m_iniFile(iniFile)
{
    SetAsideIfCorrupt();
}

CSettingsProfile::~CSettingsProfile()
{
    Flush();
}

void CSettingsProfile::SetAsideIfCorrupt()
{
    // QSettings parses the file on the first read, and only then reports a format error.
    (void)m_settings->childGroups();
    if (m_settings->status() != QSettings::FormatError)
        return;
    const QString file = m_settings->fileName();
    m_settings.reset();
    QFile::remove(file + ".corrupt");
    if (QFile::rename(file, file + ".corrupt"))
        m_setAsideFile = file + ".corrupt";
    if (m_iniFile.isEmpty())
        m_settings = std::make_unique<QSettings>(ORGANISATION, APPLICATION);
    else
        m_settings = std::make_unique<QSettings>(m_iniFile, QSettings::IniFormat);
}

int CSettingsProfile::GetProfileInt(const QString& section, const QString& key, int defaultValue)
{
    const QVariant value = m_settings->value(Path(section, key));
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : defaultValue;
}

QString CSettingsProfile::GetProfileString(const QString& section, const QString& key,
                                           const QString& defaultValue)
{
    const QVariant value = m_settings->value(Path(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void CSettingsProfile::WriteProfileInt(const QString& section, const QString& key, int value)
{
    m_settings->setValue(Path(section, key), value);
}

void CSettingsProfile::WriteProfileString(const QString& section, const QString& key,
                                          const QString& value)
{
    m_settings->setValue(Path(section, key), value);
}

void CSettingsProfile::Flush()
{
    if (m_settings)
        m_settings->sync();
}
