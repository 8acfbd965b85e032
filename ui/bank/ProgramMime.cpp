#include "ProgramMime.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

#include <algorithm>
#include <climits>

const char* const PROGRAMS_MIME_TYPE = "application/x-veltrix-programs";
const char* const BANK_SLOT_MIME_TYPE = "application/x-veltrix-bank-slot";

namespace {
// The most programs one drop can use is a bank's worth: only that many are carried, with
// the number of programs dragged.
constexpr std::size_t MAX_CARRIED = BANK_SLOT_COUNT;

// The number dragged, the number carried, then each carried program's bytes.
template <typename Programs, typename Bytes>
QByteArray Encode(const Programs& programs, std::size_t dragged, Bytes bytesOf)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    const std::size_t carried = std::min({programs.size(), dragged, MAX_CARRIED});
    out << static_cast<quint32>(dragged) << static_cast<quint32>(carried);
    for (std::size_t i = 0; i < carried; ++i)
        out << bytesOf(programs[i]);
    return bytes;
}
}  // namespace

QMimeData* CreateProgramsMimeData(const std::vector<const CSyxProgram*>& programs)
{
    auto* mime = new QMimeData;
    mime->setData(PROGRAMS_MIME_TYPE, Encode(programs, programs.size(), [](const CSyxProgram* program) {
                      return QByteArray(reinterpret_cast<const char*>(program->GetData()),
                                        static_cast<qsizetype>(program->GetLength()));
                  }));
    return mime;
}

QMimeData* CreateProgramsMimeData(const std::vector<CBank::ProgramData>& programs, int dragged)
{
    auto* mime = new QMimeData;
    const std::size_t total = std::max<std::size_t>(programs.size(), dragged > 0 ? static_cast<std::size_t>(dragged) : 0);
    mime->setData(PROGRAMS_MIME_TYPE, Encode(programs, total, [](const CBank::ProgramData& program) {
                      return QByteArray(reinterpret_cast<const char*>(program.data()),
                                        static_cast<qsizetype>(program.size()));
                  }));
    return mime;
}

std::vector<CBank::ProgramData> ProgramsFromMimeData(const QMimeData* mime, int* dragged)
{
    if (dragged != nullptr)
        *dragged = 0;
    if (mime == nullptr || !mime->hasFormat(PROGRAMS_MIME_TYPE))
        return {};
    QDataStream in(mime->data(PROGRAMS_MIME_TYPE));
    quint32 total = 0;
    quint32 carried = 0;
    in >> total >> carried;
    if (in.status() != QDataStream::Ok || carried > total || carried > MAX_CARRIED)
        return {};
    std::vector<CBank::ProgramData> programs;
    for (quint32 i = 0; i < carried; ++i) {
        QByteArray data;
        in >> data;
        if (in.status() != QDataStream::Ok || data.size() != static_cast<qsizetype>(PROGRAM_DATA_SIZE))
            return {};
        CBank::ProgramData program;
        std::copy(data.begin(), data.end(), program.begin());
        programs.push_back(program);
    }
    if (dragged != nullptr)
        *dragged = static_cast<int>(std::min<quint32>(total, INT_MAX));
    return programs;
}

QMimeData* CreateSlotMimeData(const void* owner, int slot)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << static_cast<qint64>(QCoreApplication::applicationPid())
        << static_cast<quint64>(reinterpret_cast<quintptr>(owner)) << static_cast<qint32>(slot);
    auto* mime = new QMimeData;
    mime->setData(BANK_SLOT_MIME_TYPE, bytes);
    return mime;
}

int SlotFromMimeData(const QMimeData* mime, const void* owner)
{
    if (mime == nullptr || !mime->hasFormat(BANK_SLOT_MIME_TYPE))
        return -1;
    QDataStream in(mime->data(BANK_SLOT_MIME_TYPE));
    qint64 process = 0;
    quint64 sender = 0;
    qint32 slot = -1;
    in >> process >> sender >> slot;
    if (in.status() != QDataStream::Ok || process != QCoreApplication::applicationPid()
        || sender != static_cast<quint64>(reinterpret_cast<quintptr>(owner)) || !CBank::IsSlot(slot))
        return -1;
    return slot;
}
