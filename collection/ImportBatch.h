#pragma once
// Taking many files in at the database's pace: many files to a transaction, committed once
// it has held the write lock for a quarter of a second (so that another process's view or
// writer waits no longer than that), each file told once the transaction holding it
// committed. A file that fails leaves the others; files are told in the order given.

#include "Collection.h"

#include <functional>
#include <string>
#include <vector>

class CImportBatch
{
public:
    // One file's outcome, as ImportFile gives it.
    struct COutcome {
        std::string path;
        bool taken = false;
        CImportResult result;
        std::string error;
    };
    using Told = std::function<void(const COutcome& outcome)>;

    // Each commit has a cost of its own (the names' index written, the log's pages): a quarter
    // of a second's files keep it small beside them, and files are still told four times a
    // second.
    static constexpr double COMMIT_AFTER_SECONDS = 0.25;

    CImportBatch(CCollection& collection, Told told, double commitAfterSeconds = COMMIT_AFTER_SECONDS);
    // What was not committed is rolled back, and never told.
    ~CImportBatch();
    CImportBatch(const CImportBatch&) = delete;
    CImportBatch& operator=(const CImportBatch&) = delete;

    // Takes the file in (as ImportFile does), committing the files before it when their
    // transaction has been open long enough.
    void Add(const std::string& path, std::int64_t takenAt = 0);
    // Commits the files not yet committed and tells them; when the commit fails, each is told
    // not taken, with the database's text. False then. Called at the end of the files (the
    // commits Add makes leave the sounds' index work for more of them to come).
    bool Commit();

private:
    bool CommitFiles(bool moreToCome);

    CCollection& m_collection;
    Told m_told;
    double m_commitAfter;
    std::vector<COutcome> m_waiting;   // done in the open transaction, or behind such files
};
