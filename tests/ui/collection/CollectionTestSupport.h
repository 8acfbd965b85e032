#pragma once
// A real Collection in a temporary folder for the Collection view's tests, with the real
// dumps of the shared folder taken in.

#include "Collection.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

class CCollectionView;

class CTestCollection {
public:
    CTestCollection();

    CCollection& Db() { return *m_collection; }
    std::string Path() const { return m_folder.filePath("collection.sqlite").toStdString(); }
    QString Folder() const { return m_folder.path(); }
    // A second connection to the same file, as veltrix-cli would have.
    std::unique_ptr<CCollection> OpenAgain() const;
    // Takes in a file of the real dumps; fails the test when it cannot.
    CollectionId Import(const char* realDumpName);
    // The program shown under this name (the first when several are), or 0.
    CollectionId IdOf(const std::string& shownName);

private:
    QTemporaryDir m_folder;
    std::unique_ptr<CCollection> m_collection;
};

// The path of a file of the real dumps.
QString RealDump(const char* name);
// Whether the real dumps are beside the project (a clone on its own has none).
bool HaveRealDumps();
// Skips the test, from a test body or a fixture's SetUp, when they are not.
#define SKIP_WITHOUT_REAL_DUMPS()                                                                  \
    if (!HaveRealDumps())                                                                          \
    GTEST_SKIP() << "no real dumps beside the project"
// The shown names of the view's rows, top to bottom.
std::vector<std::string> ShownNames(const CCollectionView& view);
