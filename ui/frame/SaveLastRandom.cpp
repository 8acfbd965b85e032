// File > Save Last Random: writes the kept copy of the last random program's message.

#include "MainFrame.h"
#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"

#include <QSaveFile>

void CMainFrame::OnFileSaveLastRandom()
{
    const QString path = m_services.fileDialogs->GetSaveFileName(
        this, "SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||", ".SYX");
    if (path.isEmpty())
        return;

    // The new bytes go to a temporary file beside the target, which replaces the target
    // only once everything is written: a failure at any point leaves an existing file as
    // it was.
    QSaveFile file(path);
    const qint64 length = m_lastRandomLen;
    const bool saved = file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char*>(m_lastRandom), length) == length
        && file.commit();
    if (!saved) {
        file.cancelWriting();
        m_services.messageBox->Show(this, "Doh ! Failed to save syx file, check file name and drive space.",
                                    MessageIcon::Exclamation);
    }
}
