#include "BenchDumpCache.h"

#include "SyxFormat.h"
#include "SyxProgram.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Bumped whenever what a dump holds changes, so that an older cache is not used.
const char* const CACHE_VERSION = "dumps-v1";
constexpr int DUMPS_PER_FOLDER = 100;
constexpr std::size_t NAME_SIZE = 12;
constexpr long ONE_PERCENT = 100;
constexpr long CRYSTAL_PLACE = 37;   // program index % 100 that gets "Crystal"

const char* const ADJECTIVES[] = {
    "Warm", "Dark", "Fat", "Soft", "Deep", "Bright", "Analog", "Digital", "Dirty", "Clean", "Acid", "Hard",
    "Thin", "Wide", "Slow", "Fast", "Funky", "Trance", "Retro", "Cosmic", "Phat", "Mellow", "Evil", "Lush",
    "Sharp", "Hollow", "Vintage", "Electro", "Space", "Rave", "Dream", "Noisy", "Sweet", "Big", "Mini", "Old"};
const char* const NOUNS[] = {
    "Pad", "Bass", "Lead", "Strings", "Brass", "Bell", "Organ", "Choir", "Vox", "Sweep", "Pluck",
    "Keys", "Arp", "Seq", "Drone", "Noise", "FX", "Hit", "Perc", "Kick", "Saw", "Square", "Sync",
    "Wave", "Piano", "Flute", "Stab", "Rise", "Atmos", "Texture", "Robot", "Chord", "Zap", "Growl"};
const char* const THEMES[] = {
    "Factory", "Trance Leads", "Ambient Pads", "Bass Bank", "Live Set", "Studio Backup", "Vocoder Tricks",
    "Retro Synths", "Club Sounds", "Experiments", "Gig 2004", "Demo Songs", "Userbank", "Soundset"};
const char* const AUTHORS[] = {"ms2k", "MS2000", "Korg", "jb", "studio", "Synthfan", "mk", "Patchwork"};

template <std::size_t N>
const char* Pick(std::mt19937& random, const char* const (&words)[N])
{
    return words[random() % N];
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A name as a musician writes one: words, sometimes a number, now and then in capitals or
// small letters, joined by a blank, a dash, an underscore or nothing.
std::string ProgramName(std::mt19937& random, bool crystal)
{
    const char* const separators[] = {" ", " ", " ", "-", "_", ""};
    const std::string separator = Pick(random, separators);
    std::string name;
    switch (random() % 5) {
    case 0: name = Pick(random, NOUNS); break;
    case 1: name = std::string(Pick(random, ADJECTIVES)) + separator + Pick(random, NOUNS) + " " + std::to_string(random() % 20 + 1); break;
    default: name = std::string(Pick(random, ADJECTIVES)) + separator + Pick(random, NOUNS); break;
    }
    if (crystal)
        name = "Crystal" + separator + Pick(random, NOUNS);
    if (random() % 4 == 0)
        name += " " + std::to_string(random() % 100);
    switch (random() % 20) {
    case 0: case 1: case 2: name = Upper(name); break;
    case 3: name = Lower(name); break;
    default: break;
    }
    name.resize(NAME_SIZE, ' ');
    return name;
}

std::string DumpPath(const std::string& folder, int dump)
{
    std::mt19937 random(static_cast<unsigned>(dump) * 7919u + 17u);
    char number[16];
    std::snprintf(number, sizeof number, "%04d", dump);
    char archive[32];
    std::snprintf(archive, sizeof archive, "archive-%03d", dump / DUMPS_PER_FOLDER);
    const std::string file = std::string(Pick(random, AUTHORS)) + " " + Pick(random, THEMES) + " " + number + ".syx";
    return folder + "/" + archive + "/" + file;
}

std::vector<unsigned char> DumpBytes(int dump)
{
    std::vector<unsigned char> data;
    data.reserve(static_cast<std::size_t>(CACHED_PROGRAMS_PER_DUMP) * PROGRAM_DATA_SIZE);
    for (int slot = 0; slot < CACHED_PROGRAMS_PER_DUMP; ++slot) {
        const std::vector<unsigned char> program
            = CachedBenchProgram(static_cast<long>(dump) * CACHED_PROGRAMS_PER_DUMP + slot);
        data.insert(data.end(), program.begin(), program.end());
    }
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, data.data(), static_cast<unsigned int>(data.size()));
}

[[noreturn]] void Die(const std::string& what, const std::string& path)
{
    std::fprintf(stderr, "bench cache: cannot %s %s\n", what.c_str(), path.c_str());
    std::exit(1);
}

// Written beside its place and renamed into it, so that a run stopped half-way leaves no
// short file that a later run would take for a whole one.
void WriteDump(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::error_code failure;
    fs::create_directories(fs::path(path).parent_path(), failure);
    const std::string temporary = path + ".part";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (out == nullptr)
        Die("write", temporary);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0)
        Die("write", path);
}

bool HasSize(const std::string& path, std::size_t size)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && static_cast<std::size_t>(info.st_size) == size;
}

} // namespace

std::string BenchCacheFolder()
{
    std::string base;
    if (const char* cache = std::getenv("VELTRIX_BENCH_CACHE"); cache != nullptr && *cache != '\0')
        base = cache;
    else if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && xdg[0] == '/')
        base = std::string(xdg) + "/veltrix-bench";
    else
        base = std::string(std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/tmp") + "/.cache/veltrix-bench";
    const std::string folder = base + "/" + CACHE_VERSION;
    std::error_code failure;
    fs::create_directories(folder, failure);
    if (!fs::is_directory(folder, failure))
        Die("make the folder", folder);
    return folder;
}

std::vector<unsigned char> CachedBenchProgram(long index)
{
    std::mt19937 random(static_cast<unsigned>(index) * 2654435761u + 1u);
    std::vector<unsigned char> data(PROGRAM_DATA_SIZE);
    for (unsigned char& byte : data)
        byte = static_cast<unsigned char>(random());
    // The index in four bytes of timbre 2 keeps every sound of the archive distinct.
    for (int i = 0; i < 4; ++i)
        data[200 + static_cast<std::size_t>(i)] = static_cast<unsigned char>(static_cast<unsigned long>(index) >> (8 * i));
    const std::string name = ProgramName(random, index % ONE_PERCENT == CRYSTAL_PLACE);
    for (std::size_t i = 0; i < NAME_SIZE; ++i)
        data[i] = static_cast<unsigned char>(name[i]);
    // Mostly single programs, as on the synthesizer.
    const unsigned mode = random() % 20;
    const int voiceMode = mode < 15 ? 0 : mode < 17 ? 1 : mode < 19 ? 2 : 3;
    data[16] = static_cast<unsigned char>((data[16] & 0xCF) | (voiceMode << 4));
    return data;
}

std::vector<std::string> CachedBenchDumps(int first, int count)
{
    const std::string folder = BenchCacheFolder();
    const std::size_t dumpSize = DumpBytes(0).size();
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(count));
    int made = 0;
    for (int dump = first; dump < first + count; ++dump) {
        const std::string path = DumpPath(folder, dump);
        if (!HasSize(path, dumpSize)) {
            if (made == 0)
                std::fprintf(stderr, "bench cache: making dumps in %s...\n", folder.c_str());
            WriteDump(path, DumpBytes(dump));
            ++made;
        }
        paths.push_back(path);
    }
    if (made > 0)
        std::fprintf(stderr, "bench cache: %d dumps made\n", made);
    return paths;
}
