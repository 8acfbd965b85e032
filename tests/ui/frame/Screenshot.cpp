// Saves a picture of the main window for review and for the README: the two demo dumps loaded,
// the programs named "pad" marked, two rows selected, and the bank pane holding the demo bank
// with three programs of the all-data dump put in from slot A003 on (not saved yet).
// Usage: frame_screenshot OUT.png [EXAMPLES]

#include "FrameTestSupport.h"
#include "Resources.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"
#include "grid/ProgramGrid.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [EXAMPLES_FOLDER]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Veltrix");
    const QString examples = argc > 2 ? QString(argv[2]) : QString(VELTRIX_EXAMPLES_DIR);

    CFrameFixture fixture;
    fixture.midi.AddDevice("UM-ONE MIDI 1");
    fixture.profile.values["midi/chan"] = "0";
    CMainFrame& frame = fixture.Create();
    frame.resize(1040, 600);
    frame.show();

    fixture.fileDialogs.nextOpen = {QDir(examples).filePath("Demo-Bank.syx"),
                                    QDir(examples).filePath("Demo-AllData.syx")};
    frame.OnFileOpen();
    fixture.fileDialogs.nextOpen = {QDir(examples).filePath("Demo-Bank.syx")};
    fixture.Bank().OnFileOpenBank();

    QTimer::singleShot(0, [] {
        auto* dialog = static_cast<QDialog*>(QApplication::activeModalWidget());
        dialog->findChild<QLineEdit*>()->setText("pad");
        dialog->accept();
    });
    frame.OnEditFind();

    CProgramGrid* grid = frame.Grid();
    for (int row : {187, 188, 189})
        grid->selectionModel()->select(grid->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    fixture.Bank().Pane()->SelectSlot(2);
    fixture.Bank().OnProgramPutInBank();
    grid->clearSelection();
    for (int row : {4, 5})
        grid->selectionModel()->select(grid->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    fixture.Idle();
    QApplication::processEvents();
    // The window places itself once shown; size it for the picture afterwards.
    frame.resize(1040, 600);
    frame.resizeDocks({fixture.Bank().Pane()}, {430}, Qt::Horizontal);
    QApplication::processEvents();

    if (!frame.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
