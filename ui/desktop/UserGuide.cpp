#include "UserGuide.h"

#include "Resources.h"
#include "host/CommandHost.h"
#include "services/CommandUpdater.h"
#include "services/MessageBoxService.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// A window of a size to read in, in characters of the window's font.
constexpr int GUIDE_WIDTH_CHARS = 100;
constexpr int GUIDE_HEIGHT_LINES = 40;

// Shows the guide's pages: Markdown without the notes for the page's maintainers (HTML
// comments, which Qt's Markdown reader shows when they span lines).
class CGuideBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override
    {
        const QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::MarkdownResource)
            return resource;
        QString text = resource.userType() == QMetaType::QByteArray ? QString::fromUtf8(resource.toByteArray())
                                                                   : resource.toString();
        static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                                QRegularExpression::DotMatchesEverythingOption);
        text.remove(comment);
        return text;
    }
};
}  // namespace

QStringList UserGuideFolders()
{
    QStringList folders;
    folders << QDir(QCoreApplication::applicationDirPath()).filePath("../share/veltrix");
#ifdef VELTRIX_INSTALLED_GUIDE_DIR
    folders << QStringLiteral(VELTRIX_INSTALLED_GUIDE_DIR);
#endif
    return folders;
}

QString FindUserGuide(const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QFileInfo guide(QDir(folder).filePath(USER_GUIDE_FILE));
        if (guide.isFile() && guide.isReadable())
            return guide.canonicalFilePath();
    }
    return QString();
}

CUserGuide::CUserGuide(ICommandHost& host, IMessageBoxService& messages)
    : QObject(host.Window()), m_host(host), m_messages(messages), m_folders(UserGuideFolders())
{
    m_action = new QAction("&User Guide\tF1", host.Window());
    m_action->setObjectName("userGuideAction");
    m_action->setShortcut(QKeySequence::HelpContents);   // F1
    m_action->setShortcutContext(Qt::WindowShortcut);
    m_action->setStatusTip(CommandPrompt(ID_HELP_USER_GUIDE));
    m_action->setToolTip(CommandTip(ID_HELP_USER_GUIDE));
    host.Updater().AddCommand(m_action, [this] { OnHelpUserGuide(); });
    if (QMenu* help = host.Menu(HostMenu::Help))
        help->insertAction(help->actions().value(0), m_action);   // above About...
}

void CUserGuide::OnHelpUserGuide()
{
    const QString path = FindUserGuide(m_folders);
    if (path.isEmpty()) {
        QStringList places;
        for (const QString& folder : m_folders)
            places << QDir::cleanPath(QDir(folder).absolutePath());
        m_messages.Show(m_host.Window(),
                        QString("The user guide is not installed. Veltrix looked for %1 in:\n%2")
                            .arg(USER_GUIDE_FILE, places.join('\n')),
                        MessageIcon::Exclamation);
        return;
    }
    if (m_window == nullptr) {
        auto* window = new QDialog(m_host.Window());
        window->setObjectName("userGuideWindow");
        window->setWindowTitle(QString("%1 User Guide").arg(AppTitle()));
        window->setModal(false);
        m_browser = new CGuideBrowser(window);
        m_browser->setObjectName("userGuide");
        m_browser->setAccessibleName("User guide");
        m_browser->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_browser);
        const QFontMetrics metrics(window->font());
        window->resize(metrics.averageCharWidth() * GUIDE_WIDTH_CHARS, metrics.lineSpacing() * GUIDE_HEIGHT_LINES);
        m_window = window;
    }
    m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
