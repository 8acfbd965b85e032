// File > Save Last Random: writes the kept copy of the last random program's message.

#include "MainFrame.h"
#include "services/AtomicSave.h"
#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"


void CMainFrame::OnFileSaveLastRandom()
{
    const QString path = m_services.fileDialogs->GetSaveFileName(
        this, "SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||", ".SYX");
    if (path.isEmpty())
        return;

    // A failure at any point leaves an existing file as it was.
    if (!SaveBytesAtomically(path, m_lastRandom, m_lastRandomLen)) {
        m_services.messageBox->Show(this, "Doh ! Failed to save syx file, check file name and drive space.",
                                    MessageIcon::Exclamation);
    }
}
