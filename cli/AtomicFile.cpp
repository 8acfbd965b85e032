#include "AtomicFile.h"

#include "TextOutput.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary file being written, for a signal handler to remove: a plain buffer and a
// flag, which is all a handler may touch.
char g_temporaryPath[PATH_MAX];
volatile sig_atomic_t g_hasTemporary = 0;

void RememberTemporary(const std::string& path)
{
    g_hasTemporary = 0;
    if (path.size() >= sizeof g_temporaryPath)
        return;
    std::memcpy(g_temporaryPath, path.c_str(), path.size() + 1);
    g_hasTemporary = 1;
}

// Symbolic links are followed to the file they name, as QSaveFile does: that file is
// replaced, and the link stays. A link that names nothing yet names the file to create.
std::string ResolveLinks(const std::string& path)
{
    constexpr int MAX_LINKS = 40;  // as the kernel's own limit on a path's links
    std::string resolved = path;
    for (int i = 0; i < MAX_LINKS; ++i) {
        struct stat info;
        if (lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = readlink(resolved.c_str(), &target[0], target.size());
        if (length <= 0 || static_cast<size_t>(length) >= target.size())
            break;
        target.resize(static_cast<size_t>(length));
        const auto slash = resolved.rfind('/');
        if (target[0] != '/' && slash != std::string::npos)
            target = resolved.substr(0, slash + 1) + target;
        resolved = target;
    }
    return resolved;
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The mode a new file gets (0666 less the umask), or the existing target's own.
mode_t ModeFor(const std::string& path)
{
    struct stat existing;
    if (stat(path.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string Reason(int error)
{
    return std::strerror(error);
}

}  // namespace

CAtomicFileWriter::~CAtomicFileWriter()
{
    Abandon();
}

bool CAtomicFileWriter::Begin(const std::string& path, std::string& error)
{
    Abandon();
    struct stat existing;
    if (stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        error = "Cannot write " + ShownArgument(path) + ": it is a folder";
        return false;
    }
    const std::string target = ResolveLinks(path);
    struct stat link;
    if (lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        error = "Cannot write " + ShownArgument(path) + ": " + Reason(ELOOP);   // links that lead round in a loop
        return false;
    }
    // A short name of its own: a FILE whose name is as long as the file system allows still
    // gets a temporary file beside it.
    std::string pattern = FolderOf(target) + "/.veltrix-XXXXXX";
    const int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        error = "Cannot write " + ShownArgument(path) + ": " + Reason(errno);
        return false;
    }
    fchmod(fd, ModeFor(target));
    m_path = target;
    m_shownPath = ShownArgument(path);
    m_tempPath = pattern;
    m_fd = fd;
    RememberTemporary(m_tempPath);
    return true;
}

bool CAtomicFileWriter::Commit(const std::vector<unsigned char>& bytes, std::string& error)
{
    if (m_fd < 0) {
        error = "Cannot write " + m_shownPath + ": nothing was prepared";
        return false;
    }
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(m_fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = "Cannot write " + m_shownPath + ": " + Reason(n < 0 ? errno : EIO);
            Abandon();
            return false;
        }
        written += static_cast<size_t>(n);
    }
    if (fsync(m_fd) != 0) {
        error = "Cannot write " + m_shownPath + ": " + Reason(errno);
        Abandon();
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0) {
        error = "Cannot write " + m_shownPath + ": " + Reason(errno);
        Abandon();
        return false;
    }
    if (rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        error = "Cannot write " + m_shownPath + ": " + Reason(errno);
        Abandon();
        return false;
    }
    g_hasTemporary = 0;
    m_tempPath.clear();
    // The rename itself reaches the disk with the folder's own sync.
    const int folder = open(FolderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

void CAtomicFileWriter::Abandon()
{
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        g_hasTemporary = 0;
        unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

std::string FileReplacedBy(const std::string& path)
{
    return ResolveLinks(path);
}

void RemoveTemporaryFileNow()
{
    if (g_hasTemporary) {
        g_hasTemporary = 0;
        unlink(g_temporaryPath);
    }
}
