// Which daily backups there are, whether another is due, and which are beyond those kept.

#include "CollectionBackup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

constexpr std::int64_t DAY_SECONDS = 24 * 60 * 60;

// "collection-yyyyMMdd-hhmmss.sqlite", as a backup into a folder names its file.
bool IsDailyBackupName(const std::string& name)
{
    const std::string prefix = "collection-";
    const std::string suffix = ".sqlite";
    if (name.size() != prefix.size() + 15 + suffix.size() || name.compare(0, prefix.size(), prefix) != 0
        || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    for (std::size_t i = 0; i < 15; ++i) {
        const char c = name[prefix.size() + i];
        if (i == 8 ? c != '-' : !std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// The daily backups, oldest first (their names sort as their times do).
std::vector<std::string> DailyBackups(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code failure;
    for (std::filesystem::directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure))
        if (IsDailyBackupName(it->path().filename().string()) && it->is_regular_file(failure))
            names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    for (std::string& name : names)
        name = folder + "/" + name;
    return names;
}

} // namespace

std::string DailyBackupFolder(const std::string& collectionPath)
{
    const std::filesystem::path folder = std::filesystem::path(collectionPath).parent_path();
    return (folder.empty() ? std::filesystem::path("backups") : folder / "backups").string();
}

bool DailyBackupDue(const std::string& folder, std::int64_t now)
{
    for (const std::string& path : DailyBackups(folder)) {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && info.st_mtime > now - DAY_SECONDS && info.st_mtime <= now + DAY_SECONDS)
            return false;
    }
    return true;
}

std::vector<std::string> DailyBackupsBeyond(const std::string& folder, std::size_t keep)
{
    std::vector<std::string> backups = DailyBackups(folder);
    if (backups.size() <= keep)
        return {};
    backups.resize(backups.size() - keep);
    return backups;
}
