#include "ProgramList.h"
#include "ProgramSort.h"
#include "SyxProgram.h"
#include "TestSupport.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace {

enum { FILE_COLUMN, BANK_COLUMN, NUMBER_COLUMN, PROGRAM_COLUMN, CATEGORY_COLUMN };

CSyxProgram* Record(const std::string& file, char bank, int number, const std::string& name = "X",
                    unsigned char voiceByte = 0x00)
{
    const Bytes data = MakeProgramData(name, voiceByte);
    return new CSyxProgram(bank, number, data.data(), PROGRAM_DATA_SIZE, file);
}

int Compare(int column, const CSyxProgram* a, const CSyxProgram* b)
{
    g_sortColumn = column;
    return CompareByColumn(&a, &b);
}

// "file/bank/number/name" of each record in list order.
std::vector<std::string> Rows(const CProgramList& list)
{
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetSize(); ++i) {
        const CSyxProgram* p = list.GetAt(i);
        rows.push_back(p->GetFileName() + "/" + p->GetBankText() + p->GetNumberText() + "/" + p->GetName());
    }
    return rows;
}

} // namespace

TEST(ProgramSort, FileKeyIsComparedAsOneJoinedText)
{
    // "AB"+"A001" meets "A"+"H001": b < h at the second byte, so the longer file name wins.
    CProgramList list;
    list.Add(Record("A", 'H', 1));
    list.Add(Record("AB", 'A', 1));
    list.Add(Record("A", 'A', 2));
    list.Add(Record("A", 'A', 1));
    list.SortByColumn(FILE_COLUMN);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"A/A001/X", "A/A002/X", "AB/A001/X", "A/H001/X"}));
}

TEST(ProgramSort, BankOrdersByBankThenNumberRegardlessOfFile)
{
    std::unique_ptr<CSyxProgram> a1(Record("x", 'A', 1)), a2(Record("a", 'A', 2)), b1(Record("a", 'B', 1)),
        a1other(Record("y", 'A', 1)), a10(Record("a", 'A', 10));
    EXPECT_LT(Compare(BANK_COLUMN, a1.get(), a2.get()), 0);
    EXPECT_LT(Compare(BANK_COLUMN, a2.get(), a10.get()), 0);
    EXPECT_LT(Compare(BANK_COLUMN, a10.get(), b1.get()), 0);
    EXPECT_GT(Compare(BANK_COLUMN, b1.get(), a1.get()), 0);
    EXPECT_EQ(Compare(BANK_COLUMN, a1.get(), a1other.get()), 0);
}

TEST(ProgramSort, NumberOrdersByNumberThenFile)
{
    std::unique_ptr<CSyxProgram> b1(Record("b", 'A', 1)), a2(Record("a", 'A', 2)), b1h(Record("b", 'H', 1)),
        a1(Record("a", 'C', 1));
    EXPECT_LT(Compare(NUMBER_COLUMN, b1.get(), a2.get()), 0);
    EXPECT_EQ(Compare(NUMBER_COLUMN, b1.get(), b1h.get()), 0);
    EXPECT_LT(Compare(NUMBER_COLUMN, a1.get(), b1.get()), 0);
}

TEST(ProgramSort, ProgramNamesFoldCaseOnlyWhereBytesDiffer)
{
    std::unique_ptr<CSyxProgram> lower(Record("f", 'A', 1, "pad one")), upper(Record("g", 'B', 2, "PAD ONE")),
        padded(Record("f", 'A', 3, "pad one     ")), blank(Record(".", 'A', 1, " Zed")),
        digit(Record(".", 'A', 1, "9lives")), underscore(Record(".", 'A', 1, "_under")),
        capitalA(Record(".", 'A', 1, "Alpha")), high(Record(".", 'A', 1, "\xC4sthetik")),
        shorter(Record(".", 'A', 1, "Pad"));
    EXPECT_EQ(Compare(PROGRAM_COLUMN, lower.get(), upper.get()), 0);
    EXPECT_EQ(Compare(PROGRAM_COLUMN, lower.get(), padded.get()), 0);
    EXPECT_LT(Compare(PROGRAM_COLUMN, blank.get(), digit.get()), 0);
    EXPECT_LT(Compare(PROGRAM_COLUMN, digit.get(), capitalA.get()), 0);
    EXPECT_LT(Compare(PROGRAM_COLUMN, underscore.get(), capitalA.get()), 0);
    EXPECT_GT(Compare(PROGRAM_COLUMN, high.get(), lower.get()), 0);
    EXPECT_LT(Compare(PROGRAM_COLUMN, shorter.get(), lower.get()), 0);
}

TEST(ProgramSort, CategoryOrdersByVoiceModeThenBankOnly)
{
    CProgramList list;
    list.Add(Record("f", 'B', 1, "Voc", 0x30));
    list.Add(Record("f", 'A', 2, "Split", 0x10));
    list.Add(Record("f", 'B', 3, "Single", 0x00));
    list.Add(Record("f", 'A', 4, "Dual", 0x20));
    list.Add(Record("f", 'A', 5, "Single", 0x00));
    list.SortByColumn(CATEGORY_COLUMN);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"f/A004/Dual", "f/A005/Single", "f/B003/Single",
                                                     "f/A002/Split", "f/B001/Voc"}));
    std::unique_ptr<CSyxProgram> one(Record("a", 'C', 1, "S", 0x00)), other(Record("z", 'C', 16, "T", 0xCF));
    EXPECT_EQ(Compare(CATEGORY_COLUMN, one.get(), other.get()), 0);
}

TEST(ProgramSort, ColumnsOutsideTheGridTieAndSortKeepsEveryRecord)
{
    std::unique_ptr<CSyxProgram> a(Record("a", 'A', 1, "A")), b(Record("b", 'H', 16, "Z", 0x30));
    for (int column : {-1, 5, 1000}) {
        EXPECT_EQ(Compare(column, a.get(), b.get()), 0) << column;
        EXPECT_EQ(Compare(column, b.get(), a.get()), 0) << column;
    }
    CProgramList list;
    std::set<const CSyxProgram*> before;
    for (int i = 0; i < 50; ++i) {
        list.Add(Record("f", char('A' + i % 8), i % 16 + 1));
        before.insert(list.GetAt(i));
    }
    list.SortByColumn(-7);
    EXPECT_EQ(g_sortColumn, -7);
    std::set<const CSyxProgram*> after;
    for (int i = 0; i < list.GetSize(); ++i)
        after.insert(list.GetAt(i));
    EXPECT_EQ(before, after);
}

TEST(ProgramSort, EmptyAndSingleListsStayAsTheyAre)
{
    CProgramList list;
    list.SortByColumn(FILE_COLUMN);
    EXPECT_EQ(list.GetSize(), 0);
    list.Add(Record("only", 'C', 3));
    const CSyxProgram* only = list.GetAt(0);
    list.SortByColumn(PROGRAM_COLUMN);
    ASSERT_EQ(list.GetSize(), 1);
    EXPECT_EQ(list.GetAt(0), only);
}

TEST(ProgramSort, LargeListEndsInKeyOrder)
{
    CProgramList list;
    const char* files[] = {"bank", "Bank2", "a", "zz_last"};
    for (int i = 0; i < 512; ++i)
        list.Add(Record(files[i % 4], char('A' + (i / 16) % 8), i % 16 + 1, "N" + std::to_string(i * 7919 % 512),
                        static_cast<unsigned char>((i % 4) << 4)));
    for (int column = 0; column < 5; ++column) {
        list.SortByColumn(column);
        for (int i = 1; i < list.GetSize(); ++i)
            ASSERT_LE(Compare(column, list.GetAt(i - 1), list.GetAt(i)), 0) << column << " at " << i;
    }
}

// The sort works on folded keys made once per record; its order must still be the order of
// CompareByColumn, for names and files mixing capitals, the bytes between the two alphabets
// and bytes above 0x7F.
TEST(ProgramSort, SortAgreesWithTheComparisonOnMixedCaseAndHighBytes)
{
    const std::string alphabet = "aAbBzZ_[`{ 09\x80\xC4\xFF";
    CProgramList list;
    unsigned int state = 12345;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    for (int i = 0; i < 400; ++i) {
        std::string name, file;
        for (unsigned int n = next() % 6; n > 0; --n)
            name += alphabet[next() % alphabet.size()];
        for (unsigned int n = 1 + next() % 3; n > 0; --n)
            file += alphabet[next() % alphabet.size()];
        list.Add(Record(file, char('A' + next() % 8), 1 + next() % 16, name,
                        static_cast<unsigned char>((next() % 4) << 4)));
    }
    std::set<const CSyxProgram*> before;
    for (int i = 0; i < list.GetSize(); ++i)
        before.insert(list.GetAt(i));
    for (int column = 0; column < 5; ++column) {
        list.SortByColumn(column);
        for (int i = 1; i < list.GetSize(); ++i)
            ASSERT_LE(Compare(column, list.GetAt(i - 1), list.GetAt(i)), 0) << column << " at " << i;
        std::set<const CSyxProgram*> after;
        for (int i = 0; i < list.GetSize(); ++i)
            after.insert(list.GetAt(i));
        EXPECT_EQ(before, after) << column;
    }
}

// Programs that tie keep the order they had before the sort, so that sorting by one column
// after another works as in any desktop list.
TEST(ProgramSort, TiedProgramsKeepTheirOrder)
{
    // A bank of 128 programs in dump order, each named after its place, voice modes mixed.
    auto bankFile = [](CProgramList& list, const std::string& file) {
        for (int i = 0; i < 128; ++i)
            list.Add(Record(file, char('A' + i / 16), i % 16 + 1, "P" + std::to_string(i),
                            static_cast<unsigned char>((i * 7 % 4) << 4)));
    };
    struct Case {
        const char* what;
        int column;
        std::function<void(CProgramList&)> fill;
    };
    const Case cases[] = {
        {"Category within one bank keeps number order", CATEGORY_COLUMN, [&](CProgramList& l) { bankFile(l, "f"); }},
        {"# keeps bank order", NUMBER_COLUMN, [&](CProgramList& l) { bankFile(l, "f"); }},
        {"Bank keeps file order", BANK_COLUMN,
         [&](CProgramList& l) { for (const char* f : {"z", "a", "m"}) bankFile(l, f); }},
        {"twenty copies of one file keep file order", FILE_COLUMN,
         [&](CProgramList& l) { for (int copy = 0; copy < 20; ++copy) bankFile(l, "same"); }},
        {"Program keeps the order of equal names", PROGRAM_COLUMN,
         [&](CProgramList& l) {
             for (int i = 0; i < 300; ++i)
                 l.Add(Record("f", 'A', 1, i % 3 == 0 ? "Pad" : "BASS"));
         }},
    };
    for (const Case& c : cases) {
        CProgramList list;
        c.fill(list);
        std::map<const CSyxProgram*, int> placeBefore;
        for (int i = 0; i < list.GetSize(); ++i)
            placeBefore[list.GetAt(i)] = i;
        for (int pass = 0; pass < 2; ++pass) {   // sorting again changes nothing
            list.SortByColumn(c.column);
            for (int i = 1; i < list.GetSize(); ++i) {
                const CSyxProgram* a = list.GetAt(i - 1);
                const CSyxProgram* b = list.GetAt(i);
                if (Compare(c.column, a, b) == 0) {
                    ASSERT_LT(placeBefore[a], placeBefore[b]) << c.what << ", pass " << pass << ", at " << i;
                }
            }
        }
    }

    // As a musician sees it: clicking # on one dump lists number 001 of banks A to H in order.
    CProgramList list;
    bankFile(list, "f");
    list.SortByColumn(NUMBER_COLUMN);
    std::string banksOfNumber1;
    for (int i = 0; i < 8; ++i)
        banksOfNumber1 += list.GetAt(i)->GetBankText();
    EXPECT_EQ(banksOfNumber1, "ABCDEFGH");
}
