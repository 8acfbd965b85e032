// libFuzzer target for CProgramList::ReadSyxFile. Each input is written to one file (made
// once per process) and read into a list that already holds a program. Every input must end
// either in success, with the list grown by exactly the programs of the message, or in one of
// the reader's three error texts with the list exactly as it was. The outcome and the bytes
// of every program must also match the plain byte-by-byte reader in ReferenceReader.cpp.
// Anything else aborts, and the sanitizers catch what the checks can't see.

#include "ProgramList.h"
#include "ReferenceReader.h"
#include "SyxProgram.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const FILE_NAME = "fuzz.syx";
const char* const UNTOUCHED = "(untouched)";

std::string g_path;
int g_fd = -1;

void RemoveInputFile()
{
    if (g_fd >= 0)
        close(g_fd);
    unlink(g_path.c_str());
}

// The file every input goes through: in memory under /dev/shm where there is one.
void OpenInputFile()
{
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    g_path = std::string(dir) + "/veltrix-fuzz-" + std::to_string(getpid()) + ".syx";
    g_fd = open(g_path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (g_fd < 0) {
        std::perror(g_path.c_str());
        std::abort();
    }
    std::atexit(RemoveInputFile);
}

void WriteInputFile(const uint8_t* data, size_t size)
{
    if (ftruncate(g_fd, 0) != 0)
        std::abort();
    size_t written = 0;
    while (written < size) {
        const ssize_t n = pwrite(g_fd, data + written, size - written, static_cast<off_t>(written));
        if (n <= 0)
            std::abort();
        written += static_cast<size_t>(n);
    }
}

void Fail(const char* what)
{
    std::fprintf(stderr, "ReadSyxFile check failed: %s\n", what);
    std::abort();
}

void Check(bool condition, const char* what)
{
    if (!condition)
        Fail(what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (g_fd < 0)
        OpenInputFile();
    WriteInputFile(data, size);

    static const unsigned char FIRST_DATA[PROGRAM_DATA_SIZE] = {'K', 'e', 'e', 'p'};
    CProgramList list;
    CSyxProgram* first = new CSyxProgram('A', 1, FIRST_DATA, PROGRAM_DATA_SIZE, "before");
    list.Add(first);

    std::string error = UNTOUCHED;
    const int result = list.ReadSyxFile(g_path, error, FILE_NAME);
    const ReferenceResult expected = ReadReference(data, size);

    Check(list.GetAt(0) == first, "the record that was there moved");
    Check(result == expected.result, "result differs from the byte-by-byte reader");
    if (result == 0) {
        Check(error == expected.error, "error text differs from the byte-by-byte reader");
        Check(error == "Cannot open file" || error == "File is not a valid Korg Syx File"
                  || error == "Failed to read file, patch data appears to be corrupted",
              "unknown error text");
        Check(list.GetSize() == 1, "a failed read changed the list");
        return 0;
    }

    Check(error == UNTOUCHED, "a successful read wrote the error text");
    Check(list.GetSize() == 1 + static_cast<int>(expected.programs.size()),
          "a successful read appended the wrong number of programs");
    for (size_t i = 0; i < expected.programs.size(); ++i) {
        const CSyxProgram* program = list.GetAt(static_cast<int>(i) + 1);
        Check(program != nullptr && program != first, "missing record");
        Check(program->GetBankView()[0] == static_cast<char>('A' + i / 16), "wrong bank");
        Check(program->GetNumberText() == std::string(i % 16 + 1 < 10 ? "00" : "0") + std::to_string(i % 16 + 1),
              "wrong number");
        Check(program->GetFileName() == FILE_NAME, "wrong file name");
        Check(program->GetLength() == PROGRAM_DATA_SIZE, "wrong data length");
        Check(std::memcmp(program->GetData(), expected.programs[i].data(), PROGRAM_DATA_SIZE) == 0,
              "program bytes differ from the byte-by-byte reader");
        // The texts the grid shows are worked out from the bytes; make them read all of them.
        Check(program->GetName().size() <= 12, "name longer than its field");
        Check(!program->GetVoiceModeName().empty(), "no voice mode");
    }
    return 0;
}
