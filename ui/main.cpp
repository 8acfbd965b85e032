#include "desktop/GridDump.h"
#include "frame/MainFrame.h"
#include "grid/ProgramGrid.h"
#include "frame/VeltrixApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Veltrix");
    QApplication::setApplicationName("Veltrix");

    CVeltrixApp veltrix;
    veltrix.InitInstance();
    // Qt has taken its own options out of the arguments; what is left names files.
    veltrix.OpenCommandLineFiles(QApplication::arguments().mid(1));
    if (const QString dumpFile = GridDumpFile(); !dumpFile.isEmpty())
        DumpGridWhenShown(*veltrix.MainFrame(), *veltrix.MainFrame()->Grid(), dumpFile);
    const int result = QApplication::exec();
    return result;
}
