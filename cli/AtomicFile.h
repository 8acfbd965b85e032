#pragma once
#include <string>
#include <vector>

// Writes a file so that it is either whole or not there: the bytes go to a temporary file
// beside the target, which is flushed to disk and then renamed over it. Until Commit has
// succeeded the target is untouched (an existing file keeps its old contents), and a
// writer that is destroyed without committing removes its temporary file.
//
// Begin creates the temporary file at once, so that a folder that cannot be written is
// found before anything slow (a 12-second receive) starts.
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
    std::string m_path;
    std::string m_tempPath;
    int m_fd = -1;
};
