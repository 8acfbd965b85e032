// Writes the demo dump files into the folder given as the only argument.

#include "DemoPrograms.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const CDemoFile& file : MakeDemoFiles()) {
        const std::string path = std::string(argv[1]) + "/" + file.fileName;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", path.c_str(), file.bytes.size());
    }
    return 0;
}
