#include "BankPane.h"

#include "BankGrid.h"
#include "BankUndo.h"
#include "library/DisplayName.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollBar>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {
// The library grid's columns that the pane shows too: Bank, #, Program, Category, with
// their alignments.
constexpr int FIRST_LIBRARY_COLUMN = 1;
constexpr int SHOWN_COLUMNS = 4;
constexpr int COLUMN_ALIGNMENTS[SHOWN_COLUMNS] = {GRID_ALIGN_CENTER, GRID_ALIGN_CENTER, GRID_ALIGN_LEFT,
                                                  GRID_ALIGN_LEFT};
}  // namespace

CBankPane::CBankPane(const CGridListCtrl& library, QWidget* parent)
    : QDockWidget(parent), m_undo(new QUndoStack(this))
{
    setObjectName("bankPane");
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    m_hint = new QLabel("No bank yet. Start one with File > New Bank, open one with File > Open Bank..., "
                        "or select a program of a 128-program file in the library and choose Program > "
                        "Use as Bank.", content);
    m_hint->setObjectName("bankHint");
    m_hint->setWordWrap(true);
    m_hint->setMargin(8);
    m_hint->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_grid = new CBankGrid(content);
    m_grid->setObjectName("bankGrid");
    m_grid->setAccessibleName("Bank slots");
    m_grid->hide();
    layout->addWidget(m_hint);
    layout->addWidget(m_grid);
    setWidget(content);

    CreateColumns(library);

    connect(m_grid, &CBankGrid::auditionRequested, this, &CBankPane::auditionRequested);
    connect(m_grid, &CBankGrid::programsDropped, this,
            [this](int slot, const std::vector<CBank::ProgramData>& programs, int dragged) {
                PutPrograms(slot, programs, dragged);
            });
    connect(m_grid, &CBankGrid::slotDropped, this, [this](int from, int to) { MoveSlot(from, to); });
    connect(m_undo, &QUndoStack::cleanChanged, this, [this](bool clean) {
        UpdateTitle();
        emit modifiedChanged(!clean);
    });
    UpdateTitle();
}

CBankPane::~CBankPane()
{
    // The undo stack, a child, says its clean state changed while it is destroyed, when
    // this pane is already half gone: it must not reach the pane's handlers any more.
    disconnect(m_undo, nullptr, this, nullptr);
}

void CBankPane::CreateColumns(const CGridListCtrl& library)
{
    m_grid->SetColors(library.GetTextColor(), library.GetBackColor());
    int width = 0;
    for (int i = 0; i < SHOWN_COLUMNS; ++i) {
        const int column = FIRST_LIBRARY_COLUMN + i;
        const int columnWidth = library.header()->sectionSize(column);
        const QString title = library.model()->headerData(column, Qt::Horizontal).toString();
        m_grid->AddColumn(title, COLUMN_ALIGNMENTS[i], columnWidth);
        width += columnWidth;
    }
    const int needed = width + m_grid->verticalScrollBar()->sizeHint().width() + 2 * m_grid->frameWidth();
    m_grid->setMinimumWidth(needed);
    // The text shown before a bank wraps within the same width instead of asking for more.
    m_hint->setMinimumWidth(needed);
    m_hint->setSizePolicy(QSizePolicy::Ignored, m_hint->sizePolicy().verticalPolicy());
}

void CBankPane::SetBank(const CBank& bank, const QString& sourceName)
{
    m_bank = bank;
    m_sourceName = sourceName;
    m_undo->clear();   // the old steps belong to the old bank
    m_hint->hide();
    m_grid->show();

    m_grid->DeleteAllRows();
    m_grid->setUpdatesEnabled(false);
    m_grid->AddRows(BANK_SLOT_COUNT);
    RefreshAllSlots();
    m_grid->setUpdatesEnabled(true);
    SelectSlot(0);
    UpdateTitle();
    emit modifiedChanged(false);
    emit bankReplaced();
}

bool CBankPane::ReplaceBank(const std::vector<const CSyxProgram*>& programs, const QString& sourceName)
{
    const std::optional<CBank> bank = CBank::FromPrograms(programs);
    if (!bank)
        return false;
    SetBank(*bank, sourceName);
    return true;
}

std::vector<unsigned char> CBankPane::BankDump(int channel) const
{
    return m_bank ? m_bank->BuildDump(channel) : std::vector<unsigned char>();
}

bool CBankPane::IsModified() const
{
    return m_bank && !m_undo->isClean();
}

void CBankPane::MarkSaved(const QString& sourceName)
{
    m_sourceName = sourceName;
    m_undo->setClean();
    UpdateTitle();
}

int CBankPane::SelectedSlot() const
{
    return m_bank ? m_grid->GetSelectedRow() : -1;
}

void CBankPane::SelectSlot(int slot)
{
    if (!m_bank || !CBank::IsSlot(slot))
        return;
    const QModelIndex index = m_grid->model()->index(slot, 0);
    m_grid->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_grid->scrollTo(index);
}

int CBankPane::PutPrograms(int firstSlot, const std::vector<CBank::ProgramData>& programs, int offered)
{
    if (!m_bank || !CBank::IsSlot(firstSlot) || programs.empty())
        return 0;
    auto* command = new CPutProgramsCommand(*m_bank, firstSlot, programs, [this](int slot) {
        RefreshAllSlots();
        SelectSlot(slot);
    });
    const int placed = command->Placed();
    m_undo->push(command);

    const int left = std::max(offered, static_cast<int>(programs.size())) - placed;
    if (left > 0)
        emit statusMessage(QString("The bank ends at %1: %2 of %3 programs left out")
                               .arg(QString::fromStdString(CBank::SlotName(BANK_SLOT_COUNT - 1)))
                               .arg(left)
                               .arg(left + placed));
    return placed;
}

bool CBankPane::MoveSlot(int from, int to)
{
    if (!m_bank || !CBank::IsSlot(from) || !CBank::IsSlot(to) || from == to)
        return false;
    m_undo->push(new CSwapSlotsCommand(*m_bank, from, to, [this](int slot) {
        RefreshAllSlots();
        SelectSlot(slot);
    }));
    return true;
}

void CBankPane::RefreshSlot(int slot)
{
    const auto record = m_bank->CreateSlotRecord(slot);
    const QString texts[SHOWN_COLUMNS] = {QString::fromStdString(record->GetBankText()),
                                          QString::fromStdString(record->GetNumberText()),
                                          ' ' + ProgramText(record->GetName()),
                                          ' ' + QString::fromStdString(record->GetVoiceModeName())};
    for (int column = 0; column < SHOWN_COLUMNS; ++column)
        m_grid->SetCell(slot, column, COLUMN_ALIGNMENTS[column], m_grid->GetTextColor(), m_grid->GetBackColor(),
                        texts[column]);
}

void CBankPane::RefreshAllSlots()
{
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        RefreshSlot(slot);
}

void CBankPane::UpdateTitle()
{
    QString title = "Bank";
    if (m_bank && !m_sourceName.isEmpty())
        title += " - " + m_sourceName;
    if (IsModified())
        title += '*';
    setWindowTitle(title);
}
