#include "SyxPaths.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool HasSyxExtension(const QFileInfo& file)
{
    return file.suffix().compare("syx", Qt::CaseInsensitive) == 0;
}
}  // namespace

QStringList SyxFilesInFolder(const QString& folder)
{
    const QDir dir(folder);
    QStringList paths;
    for (const QFileInfo& file : dir.entryInfoList({"*.syx"}, QDir::Files, QDir::Name | QDir::IgnoreCase))
        paths.append(file.absoluteFilePath());
    return paths;
}

QStringList DroppedSyxFiles(const QList<QUrl>& urls)
{
    QStringList paths;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo item(url.toLocalFile());
        if (item.isDir())
            paths += SyxFilesInFolder(item.absoluteFilePath());
        else if (item.isFile() && HasSyxExtension(item))
            paths.append(item.absoluteFilePath());
    }
    return paths;
}

QStringList CommandLineFiles(const QStringList& arguments, QStringList* notes)
{
    QStringList paths;
    for (const QString& argument : arguments) {
        const QFileInfo item(argument);
        if (!item.isDir()) {
            paths.append(item.absoluteFilePath());
            continue;
        }
        const QString folder = QDir::toNativeSeparators(item.absoluteFilePath());
        // A folder that cannot be listed looks empty to QDir; tell the two apart.
        if (!item.isReadable() || !item.isExecutable() || !QDir(item.absoluteFilePath()).isReadable()) {
            if (notes != nullptr)
                notes->append(QString("The folder %1 cannot be read").arg(folder));
            continue;
        }
        const QStringList found = SyxFilesInFolder(item.absoluteFilePath());
        if (found.isEmpty() && notes != nullptr)
            notes->append(QString("The folder %1 holds no .syx files").arg(folder));
        paths += found;
    }
    return paths;
}
