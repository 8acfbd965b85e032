#pragma once
// Help > "User Guide": the guide installed with Veltrix (docs/user-guide.md, which is also
// the man page), shown in a window of its own, its links to the command line's page
// followed in it. `cmake --install` and the Debian package put the pages in
// <prefix>/share/veltrix; the build tree holds a copy beside the program the same way.

#include <QObject>
#include <QString>
#include <QStringList>

class ICommandHost;
class IMessageBoxService;
class QAction;
class QTextBrowser;
class QWidget;

// The guide's file name in the folders below.
constexpr const char* USER_GUIDE_FILE = "user-guide.md";

// Where the guide is looked for, in this order: <program's folder>/../share/veltrix (an
// installed program, wherever its prefix, and the build tree), then the folder the build
// was configured to install to.
QStringList UserGuideFolders();
// The first of `folders` that holds the guide, as the guide's path; empty when none does.
QString FindUserGuide(const QStringList& folders);

class CUserGuide : public QObject {
    Q_OBJECT
public:
    CUserGuide(ICommandHost& host, IMessageBoxService& messages);

    QAction* Action() const { return m_action; }
    // Tests look elsewhere.
    void SetFolders(const QStringList& folders) { m_folders = folders; }

    // Shows the guide (brings its window up again if it is open); a guide that is not
    // installed is told in a message box naming where it was looked for.
    void OnHelpUserGuide();
    // The guide's window, or null before it was first shown.
    QWidget* Window() const { return m_window; }
    QTextBrowser* Browser() const { return m_browser; }

private:
    ICommandHost& m_host;
    IMessageBoxService& m_messages;
    QStringList m_folders;
    QAction* m_action;
    QWidget* m_window = nullptr;
    QTextBrowser* m_browser = nullptr;
};
