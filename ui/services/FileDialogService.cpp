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

static QString ExtensionWithoutDot(const QString& extension)
{
    return extension.startsWith('.') ? extension.mid(1) : extension;
}

QStringList CQtFileDialogService::GetOpenFileNames(QWidget* parent, const QString& filter,
                                                   const QString& defaultExtension)
{
    QFileDialog dialog(parent, QString(), QDir::currentPath(), ConvertFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDefaultSuffix(ExtensionWithoutDot(defaultExtension));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QDir::setCurrent(dialog.directory().absolutePath());
    return dialog.selectedFiles();
}

QString CQtFileDialogService::GetSaveFileName(QWidget* parent, const QString& filter,
                                              const QString& defaultExtension)
{
    QFileDialog dialog(parent, QString(), QDir::currentPath(), ConvertFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(ExtensionWithoutDot(defaultExtension));
    // Qt asks before replacing an existing file unless told not to.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
