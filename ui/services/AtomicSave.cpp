#include "AtomicSave.h"

#include "ProtectedFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

bool SaveBytesAtomically(const QString& path, const unsigned char* bytes, std::size_t length, QString* reason)
{
    const QString protectedFile = CProtectedFiles::WhyProtected(path);
    if (!protectedFile.isEmpty()) {
        if (reason != nullptr)
            *reason = protectedFile + ": it is not written over.";
        return false;
    }
    QSaveFile file(path);
    const auto size = static_cast<qint64>(length);
    const bool saved = file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char*>(bytes), size) == size && file.commit();
    if (!saved) {
        if (reason != nullptr)
            *reason = file.errorString();
        file.cancelWriting();
    }
    return saved;
}

QString SaveFailedText(const QString& path, const QString& reason)
{
    const QString why = reason.isEmpty() ? QStringLiteral("The system gave no reason.") : reason;
    return QString("Failed to save syx file %1. %2").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), why);
}
