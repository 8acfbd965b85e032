#include "ParameterDifferenceList.h"

#include "SyxProgram.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
enum Column { SECTION, PARAMETER, FIRST, SECOND, COLUMN_COUNT };

// Shown texts are ASCII, but a name may hold any byte a file had.
QString ShownString(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

const char* ModelName(SynthModel model)
{
    return model == SynthModel::MicroKorg ? "microKORG" : "MS2000";
}
}  // namespace

CParameterDifferenceList::CParameterDifferenceList(QWidget* parent)
    : QWidget(parent), m_note(new QLabel(this)), m_table(new QTableWidget(0, COLUMN_COUNT, this))
{
    m_note->setObjectName("parameterNote");
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    m_table->setObjectName("parameterTable");
    m_table->setHorizontalHeaderLabels({"Section", "Parameter", "First", "Second"});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_note);
    layout->addWidget(m_table, 1);
}

QString CParameterDifferenceList::CountText(std::size_t count)
{
    return QString("%1 parameter%2").arg(count).arg(count == 1 ? "" : "s");
}

void CParameterDifferenceList::ShowDifferences(const unsigned char* first, const unsigned char* second,
                                               SynthModel model, const QString& heading)
{
    const CProgramComparison comparison = CompareParameters(first, second, model);
    const std::vector<CParameterDifference>& differences = comparison.differences;
    m_table->setRowCount(static_cast<int>(differences.size()));
    int row = 0;
    for (const CParameterDifference& difference : differences) {
        const CParameter& parameter = *difference.parameter;
        const QString texts[COLUMN_COUNT] = {SectionName(parameter.section), parameter.name,
                                             ShownString(difference.firstShown),
                                             ShownString(difference.secondShown)};
        for (int column = 0; column < COLUMN_COUNT; ++column)
            m_table->setItem(row, column, new QTableWidgetItem(texts[column]));
        ++row;
    }
    // The last column takes the room that is left.
    for (int column = SECTION; column < SECOND; ++column)
        m_table->resizeColumnToContents(column);
    m_table->setColumnWidth(FIRST, std::max(m_table->columnWidth(FIRST), m_table->columnWidth(PARAMETER)));

    QString note = heading.isEmpty() ? QString() : heading + ": ";
    if (!differences.empty())
        note += CountText(differences.size()) + (differences.size() == 1 ? " differs." : " differ.");
    else if (std::equal(first, first + PROGRAM_DATA_SIZE, second))
        note += "the same program.";
    else
        note += QString("no parameter shown for the %1 differs: the two differ only in what is not shown "
                        "(a timbre the voice mode does not use, settings the instrument lacks, or bytes that "
                        "hold no parameter).")
                    .arg(ModelName(model));
    if (comparison.voiceModeDiffers)
        note += " The voice modes differ: only the parameters both programs have are compared.";
    m_note->setText(note);
}

void CParameterDifferenceList::Clear(const QString& note)
{
    m_table->setRowCount(0);
    m_note->setText(note);
}
