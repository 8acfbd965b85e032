// Renders a populated program grid to a PNG so that its look can be checked by eye:
// a hidden file column, a few rows marked, two rows selected.
#include "grid/ProgramGrid.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("grid.png");

    const COLORREF text = RGB(0, 64, 128);
    const COLORREF unmarked = RGB(193, 193, 255);
    const COLORREF marked = RGB(128, 128, 255);

    CProgramGrid grid;
    grid.resize(520, 420);
    grid.SetColors(text, unmarked);
    grid.AddColumn("File", GRID_ALIGN_CENTER, 0);
    grid.AddColumn("Bank", GRID_ALIGN_CENTER, grid.GetSampleWidth("Bank"));
    grid.AddColumn("#", GRID_ALIGN_CENTER, grid.GetSampleWidth("128  "));
    grid.AddColumn("Program", GRID_ALIGN_LEFT, grid.GetSampleWidth("XXXXXXXX|XXXXXX"));
    grid.AddColumn("Category", GRID_ALIGN_LEFT, grid.GetSampleWidth("XXXXXXXXXXXXXXX"));

    const char* const names[] = {"Init Program", "Fat Bass", "Warm Pad", "Vocoder Ah", "Sync Lead",
                                 "Strings 1", "Bass Drop", "Glass Bell", "Split Keys", "Bassline 2"};
    const char* const modes[] = {"Single", "Single", "Dual", "Vocoder", "Single",
                                 "Dual", "Single", "Single", "Split", "Single"};
    const int rows = 14;
    grid.AddRows(rows);
    for (int row = 0; row < rows; ++row) {
        const QString name = names[row % 10];
        // Rows whose name holds "bass" are marked, as a Find for "bass" would mark them.
        const COLORREF back = name.contains("bass", Qt::CaseInsensitive) ? marked : unmarked;
        grid.SetCell(row, 1, GRID_ALIGN_CENTER, text, back, QString(QChar('A' + row / 16)));
        grid.SetCell(row, 2, GRID_ALIGN_CENTER, text, back, QString("%1").arg(row % 16 + 1, 3, 10, QChar('0')));
        grid.SetCell(row, 3, GRID_ALIGN_LEFT, text, back, " " + name);
        grid.SetCell(row, 4, GRID_ALIGN_LEFT, text, back, QString(" ") + modes[row % 10]);
    }
    for (int row : {2, 6})
        grid.selectionModel()->select(grid.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // The focused row is drawn like a selected one; let it be one of the two.
    grid.selectionModel()->setCurrentIndex(grid.model()->index(6, 0), QItemSelectionModel::NoUpdate);

    grid.show();
    QApplication::processEvents();
    if (!grid.grab().save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
