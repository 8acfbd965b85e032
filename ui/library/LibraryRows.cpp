#include "LibraryRows.h"

#include "ProgramList.h"
#include "SyxProgram.h"
#include "library/DuplicateMarking.h"

#include <QStringList>

#include <string_view>

namespace {
const COLORREF CELL_TEXT_COLOR = RGB(0, 64, 128);
const COLORREF ROW_BACK_COLOR = RGB(193, 193, 255);
const COLORREF MARKED_ROW_BACK_COLOR = RGB(128, 128, 255);

// Names are single bytes, each shown as the character of that code.
QString Latin1Text(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString Utf8Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

CLibraryRows::CLibraryRows(const CProgramList& programs) : m_programs(programs) {}

int CLibraryRows::Refresh(bool showFiles, const QString& findText, const CDuplicateMarking& duplicates)
{
    m_showFiles = showFiles;
    const int count = m_programs.GetSize();
    m_marks.assign(static_cast<std::size_t>(count), 0);
    if (findText.isEmpty() && !duplicates.IsActive())
        return 0;
    int marked = 0;
    for (int row = 0; row < count; ++row) {
        const CSyxProgram* program = m_programs.GetAt(row);
        unsigned char marks = 0;
        if (!findText.isEmpty() && Latin1Text(program->GetNameView()).toLower().contains(findText))
            marks |= FOUND;
        if (duplicates.IsMarked(program))
            marks |= DUPLICATE;
        m_marks[static_cast<std::size_t>(row)] = marks;
        marked += marks != 0;
    }
    return marked;
}

unsigned char CLibraryRows::MarksOf(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < m_marks.size() ? m_marks[static_cast<std::size_t>(row)] : 0;
}

QString CLibraryRows::Description(int row) const
{
    const unsigned char marks = MarksOf(row);
    QStringList words;
    if (marks & FOUND)
        words << QStringLiteral("Marked by Find");
    if (marks & DUPLICATE)
        words << QStringLiteral("Has a duplicate");
    return words.join(QStringLiteral(", "));
}

CGridCell CLibraryRows::Cell(int row, int column) const
{
    const CSyxProgram* program = m_programs.GetAt(row);
    const bool marked = MarksOf(row) != 0;
    CGridCell cell{QString(), CELL_TEXT_COLOR, marked ? MARKED_ROW_BACK_COLOR : ROW_BACK_COLOR, GRID_ALIGN_LEFT};
    if (program == nullptr)
        return cell;
    // The file, name and voice mode start with a blank as a margin.
    switch (column) {
    case 0:
        if (m_showFiles)
            cell.text = QLatin1Char(' ') + Utf8Text(program->GetFileNameView());
        break;
    case 1:
        cell.text = Utf8Text(program->GetBankView());
        cell.alignment = GRID_ALIGN_CENTER;
        break;
    case 2:
        cell.text = Utf8Text(program->GetNumberView());
        cell.alignment = GRID_ALIGN_CENTER;
        break;
    case 3:
        cell.text = QLatin1Char(' ') + Latin1Text(program->GetNameView());
        break;
    case 4:
        cell.text = QLatin1Char(' ') + Utf8Text(program->GetVoiceModeView());
        break;
    default:
        break;
    }
    return cell;
}
