#include "FileDropTarget.h"

#include "SyxPaths.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

namespace {
// A drag of files from outside Veltrix. Drags that start in Veltrix itself (rows of the
// grid) are left to the widgets they are dropped on.
bool IsFileDrag(const QDropEvent* event)
{
    if (event->source() != nullptr || event->mimeData() == nullptr || !event->mimeData()->hasUrls())
        return false;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            return true;
    return false;
}
}  // namespace

CFileDropTarget::CFileDropTarget(QObject* parent, OpenHandler open, ReportHandler report)
    : QObject(parent), m_open(std::move(open)), m_report(std::move(report))
{
}

QString CFileDropTarget::NothingToOpenText()
{
    return QStringLiteral("Nothing to open: no .syx files among the dropped items");
}

void CFileDropTarget::Watch(QWidget* widget, bool acceptDrops)
{
    if (acceptDrops)
        widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool CFileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!IsFileDrag(drag))
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!IsFileDrag(drop))
            return false;
        OnDrop(drop);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void CFileDropTarget::OnDrop(QDropEvent* event)
{
    event->acceptProposedAction();
    const QStringList paths = DroppedSyxFiles(event->mimeData()->urls());
    if (paths.isEmpty()) {
        m_report(NothingToOpenText());
        return;
    }
    // Read once the drop has finished: the file manager waits for it, and a failed file
    // shows a message box.
    QTimer::singleShot(0, this, [this, paths] { m_open(paths); });
}
