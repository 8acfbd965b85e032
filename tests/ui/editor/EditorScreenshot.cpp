// Saves a picture of the Program Editor for the README and the user guide: the real MS2000
// bank opened, "Evolution" (A 003, a program with a running mod sequence) selected in the
// list and shown in the editor, its first timbre's tab open and its filter cutoff changed.
// Usage: editor_screenshot OUT.png REALDATA_FOLDER

#include "FrameTestSupport.h"
#include "ProgramParameters.h"
#include "editor/EditorCommands.h"
#include "editor/ProgramEditorPane.h"
#include "grid/ProgramGrid.h"

#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT.png REALDATA_FOLDER\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Veltrix");

    CFrameFixture fixture;
    fixture.midi.AddDevice("UM-ONE MIDI 1");
    CMainFrame& frame = fixture.Create();
    frame.resize(1280, 1000);
    frame.show();
    fixture.fileDialogs.nextOpen = {QDir(argv[2]).filePath("ms2000-bank-0x4C.syx")};
    frame.OnFileOpen();

    CEditorCommands& editor = *fixture.features.editor;
    editor.OnViewProgramEditor();
    CProgramGrid* grid = frame.Grid();
    grid->setCurrentIndex(grid->model()->index(2, 0));
    QApplication::processEvents();
    CProgramEditorPane* pane = editor.Pane();
    pane->Tabs()->setCurrentIndex(1);
    pane->SetParameter(*FindParameter(ParamSection::Timbre1, "Cutoff"), 52);
    fixture.Idle();
    frame.resize(1280, 1000);
    frame.resizeDocks({pane}, {800}, Qt::Vertical);
    QApplication::processEvents();
    // The page scrolled to show the envelopes and the mod sequencer's first lane.
    auto* page = qobject_cast<QScrollArea*>(pane->Tabs()->currentWidget());
    page->verticalScrollBar()->setValue(page->verticalScrollBar()->maximum() * 55 / 100);
    QApplication::processEvents();

    if (!frame.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
