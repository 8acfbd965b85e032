// The main window's handling of the library: Open, a source received instead of read, the
// grid refill, the title, Find, the grid's notifications and the enabling of the library
// commands.

#include "library/DisplayName.h"
#include "FindDlg.h"
#include "FirstStartSize.h"
#include "MainFrame.h"
#include "Resources.h"
#include "grid/ProgramGrid.h"
#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"
#include "services/ProtectedFiles.h"
#include "services/WaitCursor.h"

#include <QFileInfo>
#include <QStatusBar>

#include <cstdio>

#include <string>

namespace {
const int VK_RETURN = 13;
}  // namespace

void CMainFrame::OnFileOpen()
{
    const QStringList paths = m_services.fileDialogs->GetOpenFileNames(
        this, "SYX Files (*.syx)|*.syx|All Files (*.*)|*.*||", ".syx");
    OpenFiles(paths);
}

QString CMainFrame::ReadFailuresText(const QStringList& failures)
{
    // Enough lines to tell what went wrong; a box taller than the screen helps nobody.
    constexpr int SHOWN_LINES = 15;
    QStringList lines = failures.mid(0, SHOWN_LINES);
    if (failures.size() > SHOWN_LINES)
        lines.append(QString("... and %1 more").arg(failures.size() - SHOWN_LINES));
    const QString heading = failures.size() == 1 ? QStringLiteral("1 file could not be read:")
                                                 : QString("%1 files could not be read:").arg(failures.size());
    return heading + "\n\n" + lines.join('\n');
}

void CMainFrame::OpenFiles(const QStringList& paths, ReadFailures failures)
{
    if (paths.isEmpty())
        return;

    m_programs.DeleteAll();
    m_wndGrid->DeleteAllRows();   // its rows showed the records just freed
    m_librarySources.Clear();
    m_wndGrid->SetSortIndicator(-1);   // the new library is in file order
    CWaitCursor wait(*m_services.waitCursor);
    m_fileCount = 0;

    QString lastFileRead;
    QStringList filesRead;
    QStringList failedFiles;
    for (const QString& path : paths) {
        const QString displayName = DisplayNameForFile(path, paths.size() == 1);
        const std::string nativePath = QFile::encodeName(path).toStdString();
        std::string error = NotOpenedText(path);
        if (error.empty() && m_programs.ReadSyxFile(nativePath, error, displayName.toStdString())) {
            ++m_fileCount;
            lastFileRead = path;
            m_librarySources.AddFile(path, m_programs);
            filesRead.append(path);
        } else if (failures == ReadFailures::OneBoxAtEnd) {
            failedFiles.append(QString("%1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(error)));
        } else {
            m_services.messageBox->Show(
                this, QString("Failed to parse Syx file %1. %2").arg(displayName, QString::fromStdString(error)),
                MessageIcon::Exclamation);
        }
    }

    // With one file read, the title names it, even when others failed to read.
    SetTitleFile(m_fileCount == 1 ? QFileInfo(lastFileRead).fileName() : QString());
    m_duplicates.Refresh(m_programs);
    PopulateGrid();
    if (m_duplicates.IsActive())
        ShowStatusMessage(m_duplicates.Summary());
    if (!filesRead.isEmpty())
        for (const FilesReadHandler& handler : m_filesReadHandlers)
            handler(filesRead);
    if (!failedFiles.isEmpty())
        m_services.messageBox->Show(this, ReadFailuresText(failedFiles), MessageIcon::Exclamation);
}

bool CMainFrame::AddLibrarySource(const std::vector<unsigned char>& dump, const QString& sourceName,
                                  std::string& error)
{
    CWaitCursor wait(*m_services.waitCursor);
    if (!m_programs.ReadSyxBytes(dump.data(), dump.size(), error, sourceName.toStdString()))
        return false;
    ShowAddedSource(sourceName);
    for (const DumpAddedHandler& handler : m_dumpAddedHandlers)
        handler(dump, sourceName);
    return true;
}

void CMainFrame::AddLibraryPrograms(const std::vector<CBank::ProgramData>& programs, const QString& sourceName)
{
    if (programs.empty())
        return;
    CWaitCursor wait(*m_services.waitCursor);
    // Numbered as the slots of a dump would be, A01 to H16, again from A01 after 128.
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const int slot = static_cast<int>(i % BANK_SLOT_COUNT);
        m_programs.Add(new CSyxProgram(CBank::SlotBank(slot), CBank::SlotNumber(slot), programs[i].data(),
                                       PROGRAM_DATA_SIZE, sourceName.toStdString()));
    }
    ShowAddedSource(sourceName);
}

void CMainFrame::ShowAddedSource(const QString& sourceName)
{
    ++m_fileCount;
    m_librarySources.AddFile(sourceName, m_programs, false);
    m_wndGrid->SetSortIndicator(-1);   // the new programs are at the end, unsorted
    SetTitleFile(m_fileCount == 1 ? sourceName : QString());
    m_duplicates.Refresh(m_programs);
    PopulateGrid();
    if (m_duplicates.IsActive())
        ShowStatusMessage(m_duplicates.Summary());
}

void CMainFrame::SetTitleFile(const QString& fileName)
{
    setWindowTitle(fileName.isEmpty() ? AppTitle() : QString("%1 - [%2]").arg(AppTitle(), fileName));
}

void CMainFrame::PopulateGrid()
{
    const bool showFiles = m_fileCount > 1;
    m_markedRows = m_libraryRows.Refresh(showFiles, m_findText, m_duplicates);
    const int count = m_programs.GetSize();
    if (count == 0) {
        m_wndGrid->DeleteAllRows();
        return;
    }
    m_wndGrid->ShowRows(m_libraryRows, count);
    m_wndGrid->SetColumnWidth(0, showFiles ? m_wndGrid->GetSampleWidth(FILE_COLUMN_SAMPLE) : 0);
}

void CMainFrame::OnEditFind()
{
    CFindDlg dialog(this, *m_services.messageBox);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_findText = dialog.m_strName.toLower();
    m_duplicates.Clear();   // one marking: the last of Find and Mark Duplicates sets it
    CWaitCursor wait(*m_services.waitCursor);
    PopulateGrid();
    // The note of the marking before goes with it; a new marking says how many it found.
    if (m_findText.isEmpty())
        m_wndStatusBar->clearMessage();
    else
        ShowStatusMessage(MarkedCountText(m_markedRows));
}

QString CMainFrame::MarkedCountText(int marked)
{
    return marked == 1 ? QStringLiteral("1 program marked") : QString("%1 programs marked").arg(marked);
}

void CMainFrame::OnProgramMarkDuplicates()
{
    CWaitCursor wait(*m_services.waitCursor);
    m_findText.clear();
    m_duplicates.Mark(m_programs);
    PopulateGrid();
    ShowStatusMessage(m_duplicates.Summary());
}

void CMainFrame::ShowStatusMessage(const QString& text, int timeoutMs)
{
    m_wndStatusBar->showMessage(text, timeoutMs);
    // For test scripts, as message boxes are (VELTRIX_ECHO_MESSAGES).
    if (qEnvironmentVariableIntValue("VELTRIX_ECHO_MESSAGES") == 1 && !text.isEmpty()) {
        std::fprintf(stderr, "Veltrix status: %s\n", text.toUtf8().constData());
        std::fflush(stderr);
    }
}

long CMainFrame::OnGridNotify(long long wParam, long long lParam)
{
    switch (wParam) {
    case GN_DBLCLK:
        OnProgramAudition();
        break;
    case GN_KEYDOWN:
        if (lParam == VK_RETURN)
            OnProgramAudition();
        break;
    case GN_COLUMNCLICK: {
        CWaitCursor wait(*m_services.waitCursor);
        const int column = static_cast<int>(lParam);
        m_programs.SortByColumn(column);
        m_wndGrid->SetSortIndicator(column);
        PopulateGrid();
        break;
    }
    default:
        break;
    }
    return 0;
}

void CMainFrame::OnUpdateEditFind(CCmdUI& cmdUI)
{
    cmdUI.EnableIf(m_programs.GetSize() > 0, NeedsProgramsFirst());
}

void CMainFrame::OnUpdateProgramAudition(CCmdUI& cmdUI)
{
    cmdUI.EnableIf(m_hMidiOut != nullptr && m_programs.GetSize() > 0,
                   m_hMidiOut == nullptr ? NeedsMidiFirst() : NeedsProgramsFirst());
}

void CMainFrame::OnUpdateFileSaveLastRandom(CCmdUI& cmdUI)
{
    cmdUI.EnableIf(m_lastRandomLen != 0, NeedsRandomFirst());
}
