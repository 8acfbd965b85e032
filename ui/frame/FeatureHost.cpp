// The main window as its features' host: their menus, panes and layout, the say they have
// before the window closes, and the library's selection and news handed to them.

#include "MainFrame.h"
#include "grid/ProgramGrid.h"
#include "library/SelectedRows.h"
#include "services/Profile.h"

#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>

namespace {
// Where the window layout is kept: QMainWindow's state, base64.
const char* const LAYOUT_SECTION = "window";
const char* const LAYOUT_KEY = "state";
}  // namespace

QMenu* CMainFrame::Menu(HostMenu menu)
{
    const auto found = m_menus.find(menu);
    if (found != m_menus.end())
        return found->second;
    if (menu != HostMenu::Edit)
        return nullptr;
    // Edit comes right after File, once a feature has something for it.
    auto* edit = new QMenu("&Edit", menuBar());
    edit->setObjectName("editMenu");
    QMenu* view = Menu(HostMenu::View);
    menuBar()->insertMenu(view != nullptr ? view->menuAction() : nullptr, edit);
    m_menus[HostMenu::Edit] = edit;
    return edit;
}

void CMainFrame::AddPane(QDockWidget* pane, Qt::DockWidgetArea area)
{
    addDockWidget(area, pane);
    pane->hide();
}

void CMainFrame::RestoreLayout()
{
    // A missing or damaged value restores nothing: the default layout stays.
    const QString state = m_services.profile->GetProfileString(LAYOUT_SECTION, LAYOUT_KEY, QString());
    if (!state.isEmpty())
        restoreState(QByteArray::fromBase64(state.toLatin1()));
}

void CMainFrame::SaveLayout()
{
    m_services.profile->WriteProfileString(LAYOUT_SECTION, LAYOUT_KEY, QString::fromLatin1(saveState().toBase64()));
}

void CMainFrame::AddCloseGuard(CloseGuard guard)
{
    m_closeGuards.push_back(std::move(guard));
}

const CSyxProgram* CMainFrame::SelectedProgram() const
{
    return m_programs.GetAt(m_wndGrid->GetSelectedRow());
}

std::vector<const CSyxProgram*> CMainFrame::SelectedPrograms() const
{
    return ::SelectedPrograms(*m_wndGrid, m_programs);
}

void CMainFrame::WhenFilesRead(FilesReadHandler handler)
{
    m_filesReadHandlers.push_back(std::move(handler));
}

void CMainFrame::WhenDumpAdded(DumpAddedHandler handler)
{
    m_dumpAddedHandlers.push_back(std::move(handler));
}
