#include "DisplayName.h"

#include "FileDisplayName.h"

#include <QFile>

#include <string>

QString DisplayNameForFile(const QString& path, bool onlyFileChosen)
{
    // One rule for the window and the command line: the data layer's, on the path's bytes.
    const std::string name = DisplayNameForFile(QFile::encodeName(path).toStdString(), onlyFileChosen);
    return QFile::decodeName(QByteArray::fromStdString(name));
}

QString ProgramText(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
