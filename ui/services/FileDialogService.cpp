#include "FileDialogService.h"

#include <QDir>
#include <QFileDialog>

QString ConvertFilter(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts[i];
        const QString pattern = parts[i + 1].trimmed().replace(';', ' ');
        if (name.isEmpty())
            break;
        filters << (name.contains('(') ? name : QString("%1 (%2)").arg(name, pattern));
    }
    return filters.join(";;");
}

// Runs a file dialog that starts in the process's current directory. Returns the chosen
// files, or an empty list when cancelled; `folder` receives the directory it ended in.
static QStringList RunFileDialog(QWidget* parent, const QString& filter, const QString& defaultExtension,
                                 QFileDialog::AcceptMode acceptMode, QFileDialog::FileMode fileMode,
                                 QString& folder, const QString& suggestedName = QString())
{
    QFileDialog dialog(parent, QString(), QDir::currentPath(), ConvertFilter(filter));
    if (!suggestedName.isEmpty())
        dialog.selectFile(suggestedName);
    dialog.setAcceptMode(acceptMode);
    dialog.setFileMode(fileMode);
    dialog.setDefaultSuffix(defaultExtension.startsWith('.') ? defaultExtension.mid(1) : defaultExtension);
    // A save dialog asks before replacing an existing file unless told not to.
    if (dialog.exec() != QDialog::Accepted)
        return {};
    folder = dialog.directory().absolutePath();
    return dialog.selectedFiles();
}

QStringList CQtFileDialogService::GetOpenFileNames(QWidget* parent, const QString& filter,
                                                   const QString& defaultExtension)
{
    QString folder;
    const QStringList files = RunFileDialog(parent, filter, defaultExtension, QFileDialog::AcceptOpen,
                                            QFileDialog::ExistingFiles, folder);
    if (!files.isEmpty())
        QDir::setCurrent(folder);
    return files;
}

QString CQtFileDialogService::GetSaveFileName(QWidget* parent, const QString& filter,
                                              const QString& defaultExtension)
{
    QString folder;
    const QStringList files = RunFileDialog(parent, filter, defaultExtension, QFileDialog::AcceptSave,
                                            QFileDialog::AnyFile, folder);
    return files.isEmpty() ? QString() : files.first();
}

QString CQtFileDialogService::GetSaveFileNameFor(QWidget* parent, const QString& filter,
                                                 const QString& defaultExtension, const QString& suggestedName)
{
    QString folder;
    const QStringList files = RunFileDialog(parent, filter, defaultExtension, QFileDialog::AcceptSave,
                                            QFileDialog::AnyFile, folder, suggestedName);
    return files.isEmpty() ? QString() : files.first();
}

QString CQtFileDialogService::GetFolderName(QWidget* parent, const QString& title)
{
    QFileDialog dialog(parent, title, QDir::currentPath());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
