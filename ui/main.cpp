#include "frame/VeltrixApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Veltrix");
    QApplication::setApplicationName("Veltrix");

    CVeltrixApp veltrix;
    veltrix.InitInstance();
    const int result = QApplication::exec();
    return result;
}
