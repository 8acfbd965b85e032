#include "BenchLibrary.h"

#include "DumpWriter.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

namespace {

const char* const WORDS[] = {"Warm", "pad", "BASS", "Lead", "vox", "Brass", "Str", "Sync",
                             "pluck", "Acid", "Bell", "ORGAN", "Sweep", "Noise", "Robot", "choir"};

std::string RandomWord(std::mt19937& random)
{
    return WORDS[random() % (sizeof WORDS / sizeof WORDS[0])];
}

// One program: a name of a word and a number (some with a leading blank or a lower-case
// start), a voice mode, and data bytes from the generator.
std::vector<unsigned char> MakeBenchProgram(std::mt19937& random)
{
    std::vector<unsigned char> data(PROGRAM_DATA_SIZE);
    for (unsigned char& byte : data)
        byte = static_cast<unsigned char>(random());
    std::string name = (random() % 8 == 0 ? " " : "") + RandomWord(random) + " " + std::to_string(random() % 100);
    name.resize(12, ' ');
    for (size_t i = 0; i < 12; ++i)
        data[i] = static_cast<unsigned char>(name[i]);
    data[16] = static_cast<unsigned char>((random() % 4) << 4);
    return data;
}

class CBenchFolder
{
public:
    CBenchFolder()
    {
        char pattern[] = "/tmp/veltrix-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
    }
    ~CBenchFolder() { std::filesystem::remove_all(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

const std::vector<std::string>& BenchDumpPaths(int count)
{
    static CBenchFolder folder;
    static std::map<int, std::vector<std::string>> made;
    std::vector<std::string>& paths = made[count];
    if (!paths.empty())
        return paths;

    std::mt19937 random(static_cast<unsigned>(count));
    const std::string dir = folder.Path() + "/" + std::to_string(count);
    std::filesystem::create_directories(dir);
    for (int file = 0; file < count; ++file) {
        std::vector<std::vector<unsigned char>> programs;
        for (int i = 0; i < BENCH_PROGRAMS_PER_DUMP; ++i)
            programs.push_back(MakeBenchProgram(random));
        const std::vector<unsigned char> bytes = BuildDumpMessage(FUNC_PROGRAM_DUMP, programs);
        char number[16];
        std::snprintf(number, sizeof number, "%04d", file);
        const std::string path = dir + "/" + RandomWord(random) + number + ".syx";
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
            std::perror(path.c_str());
            std::exit(1);
        }
        std::fclose(out);
        paths.push_back(path);
    }
    return paths;
}

std::string BenchDisplayName(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    return name.substr(0, name.find('.'));
}

size_t ReadFilesRaw(const std::vector<std::string>& paths)
{
    size_t total = 0;
    for (const std::string& path : paths) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr)
            continue;
        struct stat info {};
        fstat(fileno(file), &info);
        std::vector<unsigned char> bytes(static_cast<size_t>(info.st_size));
        total += std::fread(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return total;
}
