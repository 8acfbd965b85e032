#include "desktop/GridDump.h"
#include "frame/MainFrame.h"
#include "grid/ProgramGrid.h"
#include "frame/VeltrixApp.h"
#include "VeltrixVersion.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char* const USAGE =
    "Usage: veltrix [FILE | FOLDER]...\n"
    "       veltrix --help | --version\n"
    "\n"
    "Opens the Veltrix window, the librarian of the Korg MS2000, with the .syx files given\n"
    "listed as Open lists them (a folder gives the .syx files in it).\n"
    "\n"
    "  -h, --help   Prints this text.\n"
    "  --version    Prints the release.\n"
    "\n"
    "Qt's own options (such as -platform offscreen) are taken as Qt documents them.\n"
    "The command line has a program of its own: veltrix-cli --help.\n";

// --help or -h anywhere (a file of that name is opened as ./-h).
bool AsksForHelp(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Answered before Qt looks for a display, so that they work without one.
    if (AsksForHelp(argc, argv)) {
        std::fputs(USAGE, stdout);
        return 0;
    }
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
