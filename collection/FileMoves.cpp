#include "FileMoves.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

int MoveWithoutOverwriting(const std::string& from, const std::string& to)
{
    if (link(from.c_str(), to.c_str()) == 0)
        return unlink(from.c_str()) == 0 ? 0 : errno;
    if (errno == EEXIST || errno == ENOENT)
        return errno;
    // A file system without hard links: a rename, after checking the name is free.
    struct stat info {};
    if (lstat(to.c_str(), &info) == 0)
        return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

CScratchFolder::CScratchFolder(const std::string& beside, const std::string& what)
{
    const std::filesystem::path folder = std::filesystem::path(beside).parent_path();
    const std::string pattern = (folder.empty() ? std::filesystem::path(".") : folder).string() + "/.veltrix-" + what
        + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) != nullptr)
        m_path = name.data();
}

CScratchFolder::~CScratchFolder()
{
    std::error_code ignored;
    if (!m_path.empty() && !m_kept)
        std::filesystem::remove_all(m_path, ignored);
}

std::string TemporaryFileBeside(const std::string& target, std::string& error)
{
    std::string pattern = target + ".veltrix-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        error = "Cannot write beside " + target + ": " + SystemErrorText(errno);
        return {};
    }
    close(descriptor);
    return name.data();
}

bool SyncFile(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = fsync(descriptor) == 0;
    return close(descriptor) == 0 && synced;
}

bool SyncFolderOf(const std::string& path)
{
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty())
        folder = ".";
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    fsync(descriptor);   // some file systems cannot sync a folder; the rename still stands
    close(descriptor);
    return true;
}

bool IsSameFile(const std::string& first, const std::string& second)
{
    struct stat one {};
    struct stat two {};
    return stat(first.c_str(), &one) == 0 && stat(second.c_str(), &two) == 0 && one.st_dev == two.st_dev
        && one.st_ino == two.st_ino;
}

bool IsCollectionFile(const std::string& path, const std::string& collectionPath)
{
    // As IsSameFile against each of the four, `path` looked at once: Open asks it of every file.
    struct stat file {};
    const bool exists = stat(path.c_str(), &file) == 0;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const std::string part = collectionPath + suffix;
        struct stat own {};
        if (path == part
            || (exists && stat(part.c_str(), &own) == 0 && own.st_dev == file.st_dev && own.st_ino == file.st_ino))
            return true;
    }
    return false;
}

std::string FreeFileName(const std::string& stem)
{
    struct stat info {};
    if (lstat(stem.c_str(), &info) != 0)
        return stem;
    for (int number = 2;; ++number) {
        const std::string candidate = stem + "-" + std::to_string(number);
        if (lstat(candidate.c_str(), &info) != 0)
            return candidate;
    }
}

std::string SystemErrorText(int code)
{
    switch (code) {
    case ENOSPC: return "The disk is full";
    case EACCES:
    case EPERM: return "Permission denied";
    case EROFS: return "The disk is read-only";
    default: return std::strerror(code);
    }
}
