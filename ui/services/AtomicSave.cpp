#include "AtomicSave.h"

#include <QSaveFile>

bool SaveBytesAtomically(const QString& path, const unsigned char* bytes, std::size_t length)
{
    QSaveFile file(path);
    const auto size = static_cast<qint64>(length);
    const bool saved = file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char*>(bytes), size) == size && file.commit();
    if (!saved)
        file.cancelWriting();
    return saved;
}
