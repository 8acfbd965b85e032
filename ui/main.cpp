#include "desktop/GridDump.h"
#include "frame/MainFrame.h"
#include "grid/ProgramGrid.h"
#include "frame/VeltrixApp.h"
#include "VeltrixVersion.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // Answered before Qt looks for a display, so that it works without one.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("veltrix %s\n", VELTRIX_VERSION);
        return 0;
    }
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
