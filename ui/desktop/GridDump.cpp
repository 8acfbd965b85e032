#include "GridDump.h"

#include "grid/GridListCtrl.h"

#include <QFile>
#include <QHeaderView>
#include <QSaveFile>
#include <QTimer>
#include <QWindow>

namespace {
const int POLL_MS = 50;
const int GIVE_UP_MS = 30000;

void DumpWhenExposed(QWidget* window, const CGridListCtrl* grid, const QString& file, int waitedMs)
{
    const QWindow* handle = window->windowHandle();
    const bool exposed = handle != nullptr && handle->isExposed();
    if (!exposed && waitedMs < GIVE_UP_MS) {
        QTimer::singleShot(POLL_MS, window, [=] { DumpWhenExposed(window, grid, file, waitedMs + POLL_MS); });
        return;
    }
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(GridDumpText(*window, *grid).toUtf8());
        out.commit();
    }
}
}  // namespace

QString GridDumpFile()
{
    return qEnvironmentVariable("VELTRIX_DUMP_GRID");
}

QString GridDumpText(const QWidget& window, const CGridListCtrl& grid)
{
    const QHeaderView* header = grid.header();
    QList<int> visible;
    QStringList headings;
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column) || header->sectionSize(column) <= 0)
            continue;
        visible.append(column);
        headings.append(grid.model()->headerData(column, Qt::Horizontal).toString());
    }
    const int rows = grid.model()->rowCount();
    QString text = "title\t" + window.windowTitle() + '\n';
    text += "columns\t" + headings.join('\t') + '\n';
    text += QString("rows\t%1\n").arg(rows);
    for (int row = 0; row < rows; ++row) {
        QStringList cells;
        for (int column : visible) {
            const std::optional<CGridCell> cell = grid.GetCell(row, column);
            cells.append(cell ? cell->text : QString());
        }
        text += "row\t" + cells.join('\t') + '\n';
    }
    return text;
}

void DumpGridWhenShown(QWidget& window, const CGridListCtrl& grid, const QString& file)
{
    QTimer::singleShot(0, &window, [&window, &grid, file] { DumpWhenExposed(&window, &grid, file, 0); });
}
