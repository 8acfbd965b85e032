// The main window as its features' host: their menus, panes and layout, the say they have
// before the window closes, and the library's selection and news handed to them.

#include "MainFrame.h"
#include "grid/ProgramGrid.h"
#include "library/SelectedRows.h"
#include "WindowPlacement.h"
#include "services/Profile.h"

#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

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

void CMainFrame::PlaceFloatingPanes()
{
    m_panesPlaced = true;
    for (QDockWidget* pane : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!pane->isFloating() || pane->isHidden())
            continue;
        // Stored on a larger screen, or on one that is gone, it comes back where it can be
        // reached.
        const QRect outer = pane->frameGeometry();
        const QRect fitted = FitToArea(outer, AvailableAreaFor(outer));
        pane->resize(pane->size() - (outer.size() - fitted.size()));
        pane->move(pane->pos() + (fitted.topLeft() - outer.topLeft()));
        // Shown before the window had one of its own on the screen, the pane was not made
        // the window's companion, and the window came up over it. Shown again now, it is.
        pane->hide();
        if (QWindow* paneWindow = pane->windowHandle())
            paneWindow->setTransientParent(windowHandle());
        const bool activates = !pane->testAttribute(Qt::WA_ShowWithoutActivating);
        pane->setAttribute(Qt::WA_ShowWithoutActivating);   // the keyboard stays in the window
        pane->show();
        pane->setAttribute(Qt::WA_ShowWithoutActivating, !activates);
        pane->raise();
    }
}

void CMainFrame::SaveLayout()
{
    m_services.profile->WriteProfileString(LAYOUT_SECTION, LAYOUT_KEY, QString::fromLatin1(saveState().toBase64()));
}

void CMainFrame::AddCloseGuard(CloseGuard guard)
{
    m_closeGuards.push_back(std::move(guard));
}

void CMainFrame::WhenClosed(ClosedHandler handler)
{
    m_closedHandlers.push_back(std::move(handler));
}

const CSyxProgram* CMainFrame::SelectedProgram() const
{
    return m_programs.GetAt(FirstRowToActOn(*m_wndGrid));
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
