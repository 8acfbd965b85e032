#include "CollectionTestSupport.h"

#include "collection/CollectionModel.h"
#include "collection/CollectionView.h"

#include <gtest/gtest.h>

#include <QDir>

QString RealDump(const char* name)
{
    return QDir(VELTRIX_REALDATA_DIR).filePath(name);
}

bool HaveRealDumps()
{
    return QDir(VELTRIX_REALDATA_DIR).exists("ms2000-bank-0x4C.syx");
}

CTestCollection::CTestCollection()
{
    std::string error, notice;
    m_collection = CCollection::Open(Path(), error, notice);
    if (!m_collection)
        ADD_FAILURE() << "cannot open a Collection: " << error;
}

std::unique_ptr<CCollection> CTestCollection::OpenAgain() const
{
    std::string error, notice;
    auto collection = CCollection::Open(Path(), error, notice);
    EXPECT_TRUE(collection) << error;
    return collection;
}

CollectionId CTestCollection::Import(const char* realDumpName)
{
    CImportResult result;
    std::string error;
    EXPECT_TRUE(m_collection->ImportFile(RealDump(realDumpName).toStdString(), result, error)) << error;
    return result.source;
}

CollectionId CTestCollection::IdOf(const std::string& shownName)
{
    CCollectionQuery query;
    query.text = shownName;
    for (const CCollectionProgram& program : m_collection->Search(query))
        if (program.shownName == shownName)
            return program.id;
    return 0;
}

std::vector<std::string> ShownNames(const CCollectionView& view)
{
    std::vector<std::string> names;
    for (int row = 0; row < view.Model()->rowCount(); ++row)
        names.push_back(view.Model()->Program(row)->shownName);
    return names;
}
