#include "ImportBatch.h"

CImportBatch::CImportBatch(CCollection& collection, Told told, double commitAfterSeconds)
    : m_collection(collection), m_told(std::move(told)), m_commitAfter(commitAfterSeconds)
{
}

CImportBatch::~CImportBatch()
{
    m_collection.AbandonBatch();
}

void CImportBatch::Add(const std::string& path, std::int64_t takenAt)
{
    m_collection.BeginBatch();
    COutcome outcome;
    outcome.path = path;
    outcome.taken = m_collection.ImportFile(path, outcome.result, outcome.error, takenAt);
    m_waiting.push_back(std::move(outcome));
    // A file that wrote nothing, with nothing before it waiting, is told at once.
    if (m_collection.BatchSeconds() == 0.0 || m_collection.BatchSeconds() >= m_commitAfter)
        CommitFiles(true);
}

bool CImportBatch::Commit()
{
    return CommitFiles(false);
}

bool CImportBatch::CommitFiles(bool moreToCome)
{
    std::string error;
    const bool committed = m_collection.CommitBatch(error, moreToCome);
    std::vector<COutcome> told;
    told.swap(m_waiting);
    for (COutcome& outcome : told) {
        if (!committed && outcome.taken && !outcome.result.alreadyKnown) {
            outcome.taken = false;
            outcome.result = CImportResult();
            outcome.error = error;
        }
        m_told(outcome);
    }
    return committed;
}
