#include "DisplayName.h"

#include <QFileInfo>

#include <string>

QString DisplayNameForFile(const QString& path, bool onlyFileChosen)
{
    QString name = QFileInfo(path).fileName();
    if (onlyFileChosen) {
        const int lastDot = name.lastIndexOf('.');
        if (lastDot >= 0)
            name.truncate(lastDot);
    }
    const int dot = name.indexOf('.', 1);
    if (dot > 0)
        name.truncate(dot);
    return name;
}

QString ProgramText(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
