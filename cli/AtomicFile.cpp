#include "AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
    struct stat target;
    if (stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
        error = "Cannot write " + path + ": it is a folder";
        return false;
    }
    std::string pattern = FolderOf(path) + "/." + BaseNameOf(path) + ".XXXXXX";
    const int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        error = "Cannot write " + path + ": " + Reason(errno);
        return false;
    }
    fchmod(fd, ModeFor(path));
    m_path = path;
    m_tempPath = pattern;
    m_fd = fd;
    return true;
}

bool CAtomicFileWriter::Commit(const std::vector<unsigned char>& bytes, std::string& error)
{
    if (m_fd < 0) {
        error = "Cannot write " + m_path + ": nothing was prepared";
        return false;
    }
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(m_fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = "Cannot write " + m_path + ": " + Reason(n < 0 ? errno : EIO);
            Abandon();
            return false;
        }
        written += static_cast<size_t>(n);
    }
    if (fsync(m_fd) != 0) {
        error = "Cannot write " + m_path + ": " + Reason(errno);
        Abandon();
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0) {
        error = "Cannot write " + m_path + ": " + Reason(errno);
        Abandon();
        return false;
    }
    if (rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        error = "Cannot write " + m_path + ": " + Reason(errno);
        Abandon();
        return false;
    }
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
        unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}
