#include "LastBank.h"

#include "host/BankAccess.h"
#include "services/Profile.h"

#include <QFileInfo>

namespace {
// In the settings: section "bank", "origin" ("file", "list" or empty) and "where" (the
// file's path or the list's name).
const char* const SECTION = "bank";
const char* const ORIGIN_KEY = "origin";
const char* const WHERE_KEY = "where";
const char* const FILE_ORIGIN = "file";
const char* const LIST_ORIGIN = "list";
}  // namespace

CLastBank::CLastBank(IProfile& profile, IBankAccess& bank, QObject* parent)
    : QObject(parent), m_profile(profile), m_bank(bank)
{
}

void CLastBank::Store()
{
    const CBankOrigin origin = m_bank.HasBank() ? m_bank.Origin() : CBankOrigin();
    QString kind;
    if (origin.kind == CBankOrigin::Kind::File)
        kind = FILE_ORIGIN;
    else if (origin.kind == CBankOrigin::Kind::List)
        kind = LIST_ORIGIN;
    m_profile.WriteProfileString(SECTION, ORIGIN_KEY, kind);
    m_profile.WriteProfileString(SECTION, WHERE_KEY, kind.isEmpty() ? QString() : origin.where);
}

void CLastBank::Reopen(const Reopener& reopenFile, const Reopener& reopenList,
                       const std::function<void(const QString&)>& note)
{
    const QString kind = m_profile.GetProfileString(SECTION, ORIGIN_KEY, QString());
    const QString where = m_profile.GetProfileString(SECTION, WHERE_KEY, QString());
    if (where.isEmpty() || m_bank.HasBank())
        return;   // nothing kept, or a bank came first
    QString error;
    if (kind == FILE_ORIGIN) {
        if (!QFileInfo(where).isFile())
            error = "the file is no longer there";
        else if (reopenFile(where, error))
            return;
        note(QString("The last bank, %1, could not be opened again: %2").arg(where, error));
    } else if (kind == LIST_ORIGIN && reopenList) {
        if (reopenList(where, error))
            return;
        note(QString("The last bank, the Collection's list \"%1\", could not be opened again: %2").arg(where, error));
    }
}
