#include "CollectionFile.h"

#include "CollectionTime.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

namespace {

constexpr std::size_t HEADER_SIZE = 100;
const char SQLITE_MAGIC[] = "SQLite format 3";   // 16 bytes with its NUL
constexpr std::int64_t WAL_HEADER_SIZE = 32;
// The byte of the shared-memory index every open connection holds a shared lock on (the
// "DMS" lock of SQLite's WAL file format).
constexpr off_t SHM_DMS_LOCK_BYTE = 128;

std::uint32_t BigEndian(const unsigned char* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

std::int64_t FileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

// Whether a process holds the shared-memory index of `path` open. Only asked when this
// process has no connection to the file: closing the descriptor opened here would drop this
// process's own locks on it.
bool AnotherProcessUses(const std::string& path)
{
    const int fd = open((path + "-shm").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = SHM_DMS_LOCK_BYTE;
    lock.l_len = 1;
    const bool used = fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    close(fd);
    return used;
}

std::mutex& UseMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, int>& Users()
{
    static std::map<std::string, int> users;
    return users;
}

// Moves `from` to `to` unless `to` exists. 0, or the errno of the failure.
int MoveWithoutOverwriting(const std::string& from, const std::string& to)
{
    if (link(from.c_str(), to.c_str()) == 0)
        return unlink(from.c_str()) == 0 ? 0 : errno;
    if (errno == EEXIST || errno == ENOENT)
        return errno;
    // A file system without hard links: a rename, after checking the name is free.
    std::error_code ignored;
    if (std::filesystem::exists(to, ignored))
        return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace

std::string ResolvedCollectionPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

CFileFacts InspectCollectionFile(const std::string& path, bool registeredHere)
{
    CFileFacts facts;
    // Closing a descriptor of the file would end the locks every connection of this process
    // holds on it, and another process closing its last connection would then take the
    // write-ahead log away from under them. A file this process has open already is known to
    // be a database; only the log is looked at. The lock keeps a connection from opening
    // while the descriptor below is open.
    const std::lock_guard<std::mutex> lock(UseMutex());
    const auto users = Users().find(ResolvedCollectionPath(path));
    if (users != Users().end() && users->second > (registeredHere ? 1 : 0)) {
        facts.kind = FileKind::Database;
        facts.logHasFrames = FileSize(path + "-wal") > WAL_HEADER_SIZE;
        return facts;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        facts.kind = errno == ENOENT ? FileKind::Missing : FileKind::Database;   // SQLite says why
        return facts;
    }
    struct stat info {};
    unsigned char header[HEADER_SIZE] = {};
    ssize_t got = -1;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        got = pread(fd, header, HEADER_SIZE, 0);
    close(fd);
    if (got < 0) {
        facts.kind = FileKind::NotDatabase;   // a folder, a pipe, a device
        return facts;
    }
    if (info.st_size == 0) {
        facts.kind = FileKind::Empty;
        return facts;
    }
    if (got < static_cast<ssize_t>(HEADER_SIZE) || std::memcmp(header, SQLITE_MAGIC, sizeof SQLITE_MAGIC) != 0) {
        facts.kind = FileKind::NotDatabase;
        return facts;
    }
    facts.kind = FileKind::Database;
    facts.logHasFrames = FileSize(path + "-wal") > WAL_HEADER_SIZE;
    if (facts.logHasFrames)
        return facts;   // the log may hold what the file lacks: SQLite reads both
    const std::uint32_t pageField = BigEndian(header + 16, 2);
    const std::int64_t pageSize = pageField == 1 ? 65536 : pageField;
    const bool sizeValid = BigEndian(header + 24, 4) == BigEndian(header + 92, 4);
    const std::int64_t pages = BigEndian(header + 28, 4);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0 || info.st_size % pageSize != 0
        || (sizeValid && pages > 0 && pages * pageSize > info.st_size))
        facts.kind = FileKind::CutShort;
    return facts;
}

void CFileUse::Register(const std::string& path, bool logHasFrames, bool& leftOpen)
{
    const std::lock_guard<std::mutex> lock(UseMutex());
    int& users = Users()[path];
    leftOpen = logHasFrames && users == 0 && !AnotherProcessUses(path);
    ++users;
}

void CFileUse::Unregister(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(UseMutex());
    const auto found = Users().find(path);
    if (found != Users().end() && --found->second <= 0)
        Users().erase(found);
}

CFileUseRegistration::CFileUseRegistration(const std::string& path) : m_path(ResolvedCollectionPath(path))
{
    bool ignored = false;
    CFileUse::Register(m_path, false, ignored);
}

CFileUseRegistration::~CFileUseRegistration()
{
    CFileUse::Unregister(m_path);
}

CFolderLock::CFolderLock(const std::string& path)
{
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    m_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd >= 0) {
        while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

CFolderLock::~CFolderLock()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool SetAsideDamaged(const std::string& path, std::string& movedTo, std::string& error)
{
    const std::string stem = path + ".damaged-" + CompactLocalTime(NowSeconds());
    for (int attempt = 1; attempt < 100; ++attempt) {
        const std::string candidate = attempt == 1 ? stem : stem + "-" + std::to_string(attempt);
        const int result = MoveWithoutOverwriting(path, candidate);
        if (result == EEXIST)
            continue;
        if (result == ENOENT) {
            movedTo.clear();
            return true;
        }
        if (result != 0) {
            error = "It is damaged and could not be set aside: " + std::string(std::strerror(result));
            return false;
        }
        for (const char* suffix : {"-wal", "-shm"})
            MoveWithoutOverwriting(path + suffix, candidate + suffix);
        movedTo = candidate;
        return true;
    }
    error = "It is damaged and could not be set aside: too many damaged copies beside it";
    return false;
}
