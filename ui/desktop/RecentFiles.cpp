#include "RecentFiles.h"

#include "services/Profile.h"

#include <QAction>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>

namespace {
const char* const SECTION = "recent";

// Keys "set1" to "set8", each a JSON array of full paths.
QString Key(int index)
{
    return QString("set%1").arg(index + 1);
}

QStringList ParseSet(const QString& value)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(value.toUtf8(), &error);
    QStringList paths;
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return paths;
    for (const QJsonValue& item : document.array()) {
        if (!item.isString() || item.toString().isEmpty())
            return {};
        paths.append(item.toString());
    }
    return paths;
}

QString EscapeMnemonics(QString text)
{
    return text.replace('&', "&&");
}
}  // namespace

CRecentFiles::CRecentFiles(QWidget* parent, IProfile& profile, OpenHandler open, ReportHandler report)
    : QObject(parent), m_profile(profile), m_open(std::move(open)), m_report(std::move(report)),
      m_menu(new QMenu("Recent &Files", parent))
{
    m_menu->setObjectName("recentFilesMenu");
    connect(m_menu, &QMenu::aboutToShow, this, [this] {
        if (Prune())
            Store();
        RebuildMenu();
    });
    Load();
    if (Prune())
        Store();
    RebuildMenu();
}

void CRecentFiles::Load()
{
    m_sets.clear();
    for (int i = 0; i < MAX_SETS; ++i) {
        const QStringList paths = ParseSet(m_profile.GetProfileString(SECTION, Key(i), QString()));
        if (!paths.isEmpty() && !m_sets.contains(paths))
            m_sets.append(paths);
    }
}

void CRecentFiles::Store()
{
    for (int i = 0; i < MAX_SETS; ++i) {
        QString value;
        if (i < m_sets.size())
            value = QString::fromUtf8(
                QJsonDocument(QJsonArray::fromStringList(m_sets[i])).toJson(QJsonDocument::Compact));
        m_profile.WriteProfileString(SECTION, Key(i), value);
    }
}

bool CRecentFiles::Prune()
{
    bool changed = false;
    QList<QStringList> kept;
    for (const QStringList& set : std::as_const(m_sets)) {
        QStringList existing;
        for (const QString& path : set)
            if (QFileInfo(path).isFile())
                existing.append(path);
        changed = changed || existing.size() != set.size();
        if (!existing.isEmpty() && !kept.contains(existing))
            kept.append(existing);
        else
            changed = true;
    }
    m_sets = kept;
    return changed;
}

void CRecentFiles::Add(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    m_sets.removeAll(paths);
    m_sets.prepend(paths);
    while (m_sets.size() > MAX_SETS)
        m_sets.removeLast();
    Store();
    RebuildMenu();
}

QList<QStringList> CRecentFiles::Sets()
{
    if (Prune()) {
        Store();
        RebuildMenu();
    }
    return m_sets;
}

void CRecentFiles::Open(int index)
{
    const QList<QStringList> sets = Sets();
    if (index >= 0 && index < sets.size())
        OpenExisting(sets[index]);
}

void CRecentFiles::OpenExisting(const QStringList& paths)
{
    QStringList existing;
    for (const QString& path : paths)
        if (QFileInfo(path).isFile())
            existing.append(path);
    if (existing.isEmpty()) {
        m_report(QStringLiteral("Nothing to open: the files of that recent entry are gone"));
        Sets();
        return;
    }
    m_open(existing);
}

QString CRecentFiles::MenuText(int index, const QStringList& paths)
{
    const int shown = std::min<int>(static_cast<int>(paths.size()), 3);
    QStringList names;
    for (int i = 0; i < shown; ++i)
        names.append(EscapeMnemonics(QFileInfo(paths[i]).fileName()));
    QString text = QString("&%1 %2").arg(index + 1).arg(names.join(", "));
    if (paths.size() > shown)
        text += QString(" and %1 more").arg(paths.size() - shown);
    return text;
}

void CRecentFiles::RebuildMenu()
{
    m_menu->clear();
    for (int i = 0; i < m_sets.size(); ++i) {
        QAction* entry = m_menu->addAction(MenuText(i, m_sets[i]));
        entry->setStatusTip(m_sets[i].join(", "));
        // The entry stands for the set it showed, wherever that set is when it is chosen.
        const QStringList paths = m_sets[i];
        connect(entry, &QAction::triggered, this, [this, paths] { OpenExisting(paths); });
    }
    m_menu->menuAction()->setEnabled(!m_sets.isEmpty());
}
