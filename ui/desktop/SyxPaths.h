#pragma once
// Which files a drop or the command line brings in: folders give the .syx files they hold.

#include <QList>
#include <QStringList>
#include <QUrl>

// The .syx files of a folder (any case of the extension; not its sub-folders, not hidden
// files), as full paths in name order, capitals and small letters alike.
QStringList SyxFilesInFolder(const QString& folder);

// The files a drop brings, in the order dropped: each local .syx file, and the .syx files of
// each local folder. Anything else is left out.
QStringList DroppedSyxFiles(const QList<QUrl>& urls);

// The files named on the command line, as absolute paths in the order given; a folder gives
// its .syx files. A name that is not a folder is kept whatever it is, as the Open dialog's
// "All Files" would: reading it tells the user what is wrong with it. A folder that cannot
// be read, or holds no .syx file, gives a line in `notes` (when given) instead.
QStringList CommandLineFiles(const QStringList& arguments, QStringList* notes = nullptr);
