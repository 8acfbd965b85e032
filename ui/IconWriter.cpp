// Writes the application icon as FOLDER/SIZE/veltrix.png for each size given.

#include "Icons.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    for (int i = 2; i < argc; ++i) {
        const int size = QString(argv[i]).toInt();
        const QString folder = QDir(QString::fromLocal8Bit(argv[1])).filePath(QString::number(size));
        if (size <= 0 || !QDir().mkpath(folder) || !PaintAppIcon(size).save(folder + "/veltrix.png")) {
            std::fprintf(stderr, "cannot write the %s pixel icon\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
