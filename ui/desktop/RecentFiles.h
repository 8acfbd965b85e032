#pragma once
// File > Recent Files: the last file sets opened (by Open, a drop or the command line), most
// recent first, each reopening its set. Kept in the settings, section "recent".

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class IProfile;
class QMenu;
class QWidget;

class CRecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int MAX_SETS = 8;

    using OpenHandler = std::function<void(const QStringList& paths)>;
    using ReportHandler = std::function<void(const QString& text)>;

    // Reads the stored sets; a value that cannot be read is left out.
    CRecentFiles(QWidget* parent, IProfile& profile, OpenHandler open, ReportHandler report);

    // The "Recent Files" menu; disabled while there is nothing in it.
    QMenu* Menu() const { return m_menu; }

    // Puts a set just opened at the top (moving it there when it is already listed), keeps
    // the last MAX_SETS, and stores them. An empty set is ignored.
    void Add(const QStringList& paths);

    // The sets, most recent first, without the files that are gone and without the sets that
    // have none left. Pruning is stored.
    QList<QStringList> Sets();

    // Reopens the set at `index` of Sets().
    void Open(int index);

    // The menu text of a set: its file names, three at most.
    static QString MenuText(int index, const QStringList& paths);

private:
    void Load();
    void Store();
    // Leaves out the files that are gone; returns whether anything changed.
    bool Prune();
    void RebuildMenu();
    // Opens the files of `paths` that are still there; says so when none is.
    void OpenExisting(const QStringList& paths);

    IProfile& m_profile;
    OpenHandler m_open;
    ReportHandler m_report;
    QList<QStringList> m_sets;
    QMenu* m_menu;
};
