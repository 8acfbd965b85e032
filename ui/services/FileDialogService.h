#pragma once
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QWidget;

// The open and save dialogs. Filters come in the "Name (*.ext)|*.ext|...||" form and are
// turned into Qt's "Name (*.ext);;..." form by ConvertFilter.
class IFileDialogService {
public:
    virtual ~IFileDialogService() = default;

    // Several files may be chosen; each must exist. Starts in the process's current
    // directory, and the directory the user ends up in becomes the current directory.
    // Returns the full paths in the dialog's order, or an empty list when cancelled.
    virtual QStringList GetOpenFileNames(QWidget* parent, const QString& filter,
                                         const QString& defaultExtension) = 0;

    // Asks before an existing file is replaced. `defaultExtension` (".syx") is added to a
    // name typed without one. Returns the full path, or an empty string when cancelled.
    virtual QString GetSaveFileName(QWidget* parent, const QString& filter,
                                    const QString& defaultExtension) = 0;
    // The same, with `suggestedName` (a file name) offered in the dialog's name field.
    virtual QString GetSaveFileNameFor(QWidget* parent, const QString& filter, const QString& defaultExtension,
                                       const QString& suggestedName)
    {
        Q_UNUSED(suggestedName);
        return GetSaveFileName(parent, filter, defaultExtension);
    }

    // A folder to write several files into, under `title`; a new one may be made in the
    // dialog. Starts in the process's current directory. Empty when cancelled.
    virtual QString GetFolderName(QWidget* parent, const QString& title) = 0;
};

class CQtFileDialogService : public IFileDialogService {
public:
    QStringList GetOpenFileNames(QWidget* parent, const QString& filter,
                                 const QString& defaultExtension) override;
    QString GetSaveFileName(QWidget* parent, const QString& filter,
                            const QString& defaultExtension) override;
    QString GetSaveFileNameFor(QWidget* parent, const QString& filter, const QString& defaultExtension,
                               const QString& suggestedName) override;
    QString GetFolderName(QWidget* parent, const QString& title) override;
};

// "SYX Files (*.syx)|*.syx|All Files (*.*)|*.*||" -> "SYX Files (*.syx);;All Files (*.*)".
// The pattern after each '|' is what Qt matches with; it is shown in the name when missing.
QString ConvertFilter(const QString& pipeFilter);
