#include "CollectionExport.h"

#include "SyxFormat.h"
#include "SyxProgram.h"
#include "ExportFileName.h"
#include "services/AtomicSave.h"
#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"
#include "services/UiServices.h"
#include "services/WaitCursor.h"

#include <QDir>
#include <QFile>

namespace {
const char* const SAVE_FAILED = "Doh ! Failed to save syx file, check file name and drive space.";

// Writes one program as a current-program dump carrying its shown name.
bool WriteProgram(CCollection& collection, CollectionId id, const QString& path)
{
    CollectionProgramData data;
    if (!collection.ProgramData(id, data))
        return false;
    const std::vector<unsigned char> bytes = BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, data.data(), PROGRAM_DATA_SIZE);
    return SaveBytesAtomically(path, bytes.data(), bytes.size());
}
}  // namespace

QString ExportPrograms(CCollection& collection, const std::vector<CCollectionRow>& programs, QWidget* parent,
                       const CUiServices& services)
{
    if (programs.empty())
        return QString();
    if (programs.size() == 1) {
        const QString path = services.fileDialogs->GetSaveFileNameFor(
            parent, "SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||", ".syx",
            QString::fromStdString(ProgramFileName(programs.front().shownName)));
        if (path.isEmpty())
            return QString();
        if (!WriteProgram(collection, programs.front().id, path)) {
            services.messageBox->Show(parent, SAVE_FAILED, MessageIcon::Exclamation);
            return QString();
        }
        return QString("Exported \"%1\" to %2").arg(QString::fromLatin1(programs.front().shownName.c_str()),
                                                QDir::toNativeSeparators(path));
    }

    const QString folder = services.fileDialogs->GetFolderName(
        parent, QString("Export %1 Programs to Folder").arg(programs.size()));
    if (folder.isEmpty())
        return QString();
    CWaitCursor wait(*services.waitCursor);
    if (!QDir().mkpath(folder)) {
        services.messageBox->Show(parent, SAVE_FAILED, MessageIcon::Exclamation);
        return QString();
    }
    // Numbered in the order they were chosen in, so that a folder lists them as the view did.
    const int count = static_cast<int>(programs.size());
    for (int position = 1; position <= count; ++position) {
        const CCollectionRow& program = programs[static_cast<std::size_t>(position - 1)];
        const QString name = QString::fromStdString(NumberedProgramFileName(position, count, program.shownName));
        if (!WriteProgram(collection, program.id, QDir(folder).filePath(name))) {
            services.messageBox->Show(parent, SAVE_FAILED, MessageIcon::Exclamation);
            return QString();
        }
    }
    return QString("Exported %1 programs to %2").arg(programs.size()).arg(QDir::toNativeSeparators(folder));
}
