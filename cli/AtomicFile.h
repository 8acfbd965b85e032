#pragma once
#include <string>
#include <vector>

// Writes a file so that it is either whole or not there: the bytes go to a temporary file
// beside the target, which is flushed to disk and then renamed over it. Until Commit has
// succeeded the target is untouched (an existing file keeps its old contents), and a
// writer that is destroyed without committing removes its temporary file.
//
// Begin creates the temporary file at once, so that a folder that cannot be written is
// found before anything slow (a 12-second receive) starts. The temporary file has a short
// name of its own (".veltrix-XXXXXX"), so that a target whose name is as long as the file
// system allows can still be written. A target that is a symbolic link is followed: the
// file it names is replaced, and the link stays, as QSaveFile does.
class CAtomicFileWriter
{
public:
    CAtomicFileWriter() = default;
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    // Creates the temporary file for `path`. False with a readable `error` when it can't.
    bool Begin(const std::string& path, std::string& error);
    // Writes `bytes`, syncs, and renames the temporary file to the target. False with a
    // readable `error` when any step fails; the temporary file is gone then.
    bool Commit(const std::vector<unsigned char>& bytes, std::string& error);
    // Removes the temporary file; the target stays as it was.
    void Abandon();

    const std::string& TemporaryPath() const { return m_tempPath; }

private:
    std::string m_path;       // the file replaced (links followed)
    std::string m_shownPath;  // as the user named it, shown safely, for the error texts
    std::string m_tempPath;
    int m_fd = -1;
};

// The file a writer for `path` replaces: `path` with its own symbolic links followed.
std::string FileReplacedBy(const std::string& path);

// Removes the temporary file of the writer that is between Begin and the end of Commit, if
// any. Safe in a signal handler: a program that is killed by a signal calls it on the way out.
void RemoveTemporaryFileNow();
