#include "CliTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

CTempFolder::CTempFolder()
{
    char pattern[] = "/tmp/veltrix-cli-test-XXXXXX";
    if (mkdtemp(pattern) != nullptr)
        m_path = pattern;
}

CTempFolder::~CTempFolder()
{
    // Everything in it, folders and links too (links are removed, not followed).
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> CTempFolder::Names() const
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(m_path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<unsigned char> MadeUpPrograms(int count)
{
    std::vector<unsigned char> data;
    for (int i = 0; i < count; ++i) {
        unsigned char program[254];
        for (int b = 0; b < 254; ++b)
            program[b] = static_cast<unsigned char>((i * 7 + b * 13) & 0xFF);
        char name[32];
        std::snprintf(name, sizeof name, "Prog %03d            ", (i + 1) % 1000);
        std::copy(name, name + 12, program);
        program[16] = static_cast<unsigned char>((i % 4) << 4);
        data.insert(data.end(), program, program + 254);
    }
    return data;
}
