#pragma once
// The invented programs of the demo files.

#include <string>
#include <vector>

struct CDemoFile {
    std::string fileName;
    std::vector<unsigned char> bytes;
};

// The four demo files: a 128-program bank, an all-data dump, and two single programs.
std::vector<CDemoFile> MakeDemoFiles();
