#pragma once
// Moving and writing whole files safely, for copies of the Collection: a file is written
// under a temporary name beside its place and renamed into it once whole, and a file moved
// aside never replaces another.

#include <string>

// Moves `from` to `to` unless `to` exists. 0, or the errno of the failure (EEXIST, ENOENT...).
int MoveWithoutOverwriting(const std::string& from, const std::string& to);

// A new, empty file beside `target` ("<target>.veltrix-XXXXXX"); empty with `error` when
// none can be made there.
std::string TemporaryFileBeside(const std::string& target, std::string& error);

// A new folder of its own beside `beside` (".veltrix-<what>-XXXXXX" in its folder), removed
// with all it holds when it goes. Path() is empty when none could be made.
class CScratchFolder
{
public:
    CScratchFolder(const std::string& beside, const std::string& what);
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    const std::string& Path() const { return m_path; }
    // Leaves the folder and what it holds in place.
    void Keep() { m_kept = true; }

private:
    std::string m_path;
    bool m_kept = false;
};

// Flushes the file's content, then the folder that holds `path`, to the disk.
bool SyncFile(const std::string& path);
bool SyncFolderOf(const std::string& path);

// Whether the two paths name one file (links followed); false when either is missing.
bool IsSameFile(const std::string& first, const std::string& second);

// Whether `path` names the database at `collectionPath` or one of the files SQLite keeps
// beside it (by name, or as the same file). Asked without opening it: closing a descriptor of
// one of those ends every lock this process's connections hold on it.
bool IsCollectionFile(const std::string& path, const std::string& collectionPath);

// `stem` when no file has that name, else "<stem>-2", "<stem>-3"...
std::string FreeFileName(const std::string& stem);

// The readable text of an errno.
std::string SystemErrorText(int code);
