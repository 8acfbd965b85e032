#include "CollectionView.h"

#include "CollectionModel.h"
#include "CollectionReader.h"
#include "CollectionTable.h"
#include "library/SelectedRows.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <unordered_set>

namespace {
constexpr int DEFAULT_POLL_MS = 2000;
// The table shows at least this many rows when the view first comes up.
constexpr int FIRST_ROWS = 12;
const char* const MODE_CHOICES[] = {"Any Mode", "Single", "Split", "Dual", "Vocoder"};
}  // namespace

CCollectionView::CCollectionView(QWidget* parent)
    : QWidget(parent), m_search(new QLineEdit(this)), m_filterBox(new QComboBox(this)), m_modeBox(new QComboBox(this)),
      m_table(new CCollectionTable(this)), m_model(new CCollectionModel(this)), m_hint(new QLabel(this)),
      m_count(new QLabel(this)), m_poll(new QTimer(this)), m_reader(new CCollectionReader(this)),
      m_undo(new QUndoStack(this))
{
    setObjectName("collectionView");
    m_search->setObjectName("collectionSearch");
    m_search->setPlaceholderText("Search names");
    m_search->setAccessibleName("Search the Collection's names");
    m_search->setClearButtonEnabled(true);
    // The line's clear button is a tool button of its own: a screen reader names it by this.
    for (QAction* action : m_search->actions()) {
        action->setText("Clear the search");
        action->setToolTip("Clear the search");
    }
    for (QToolButton* button : m_search->findChildren<QToolButton*>())
        button->setAccessibleName("Clear the search");
    m_search->installEventFilter(this);
    m_filterBox->setObjectName("collectionFilter");
    m_filterBox->setAccessibleName("Programs to show");
    m_filterBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_filterBox->setMinimumContentsLength(14);
    m_modeBox->setObjectName("collectionMode");
    m_modeBox->setAccessibleName("Voice mode");
    for (const char* mode : MODE_CHOICES)
        m_modeBox->addItem(mode);
    m_table->setObjectName("collectionTable");
    m_table->setAccessibleName("Collection programs");
    m_table->setModel(m_model);
    m_hint->setObjectName("collectionHint");
    m_hint->setWordWrap(true);
    m_hint->setMargin(8);
    m_hint->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_hint->hide();
    m_count->setObjectName("collectionCount");

    QHeaderView* header = m_table->horizontalHeader();
    const QFontMetrics metrics = m_table->fontMetrics();
    header->resizeSection(CCollectionModel::NAME, metrics.horizontalAdvance("XXXXXXXXXXXXXX"));
    header->resizeSection(CCollectionModel::MODE, metrics.horizontalAdvance("Vocoder  "));
    header->resizeSection(CCollectionModel::FAVOURITE, metrics.horizontalAdvance("Fav  "));
    header->resizeSection(CCollectionModel::TAGS, metrics.horizontalAdvance("XXXXXXXXXXXXXXX"));
    header->resizeSection(CCollectionModel::SOURCES, metrics.horizontalAdvance("Sources  "));
    header->resizeSection(CCollectionModel::SLOT, metrics.horizontalAdvance("Slot H 016"));
    // The slot comes first, and only while a source or a list is shown.
    header->moveSection(header->visualIndex(CCollectionModel::SLOT), 0);
    header->setSectionHidden(CCollectionModel::SLOT, true);
    header->setSortIndicator(CCollectionModel::NAME, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);

    // The lists are named by their labels (the name a screen reader gives a list box is the
    // label it is the buddy of), and Alt+S and Alt+O go to them.
    auto* filterLabel = new QLabel("&Show", this);
    filterLabel->setBuddy(m_filterBox);
    auto* modeLabel = new QLabel("M&ode", this);
    modeLabel->setBuddy(m_modeBox);
    auto* top = new QHBoxLayout;
    top->addWidget(m_search, 1);
    top->addSpacing(6);
    top->addWidget(filterLabel);
    top->addWidget(m_filterBox);
    top->addSpacing(6);
    top->addWidget(modeLabel);
    top->addWidget(m_modeBox);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_hint);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_count);
    setFocusProxy(m_search);

    connect(m_search, &QLineEdit::textChanged, this, [this] { OnSearchChanged(); });
    connect(m_filterBox, qOverload<int>(&QComboBox::activated), this, [this](int index) { OnFilterChosen(index); });
    connect(m_modeBox, qOverload<int>(&QComboBox::activated), this, [this](int index) { OnModeChosen(index); });
    connect(m_table, &CCollectionTable::activatedRow, this, [this] { emit auditionRequested(); });
    connect(m_table, &CCollectionTable::nameNote, this, &CCollectionView::statusMessage);
    connect(m_table, &CCollectionTable::editorClosed, this, [this] { OnEditorClosed(); });
    // After the table sorted the model (it is connected first).
    connect(m_table->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this] { OnSortChanged(); });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit selectionChanged(); });
    connect(m_model, &CCollectionModel::renameFailed, this, &CCollectionView::statusMessage);
    m_model->SetRenamer([this](CollectionId id, const std::string& name, std::string& error) {
        return Rename(id, name, error);
    });
    // A million rows no longer shown are freed on the reading thread.
    m_model->SetDisposer([this](std::vector<CViewRow> rows) {
        m_reader->FreeApart(std::make_shared<std::vector<CViewRow>>(std::move(rows)));
    });
    // A sort, a merge and a narrowing move rows as one layout change: the selection and the
    // current row follow their rows by their persistent indexes.

    m_poll->setInterval(DEFAULT_POLL_MS);
    connect(m_poll, &QTimer::timeout, this, [this] { CheckForChanges(); });
    ShowState();
}

CCollectionView::~CCollectionView()
{
    // The widgets below go after this object's own part: what they say while they close (an
    // open name editor closing) must not reach it.
    disconnect(m_table, nullptr, this, nullptr);
    disconnect(m_table->selectionModel(), nullptr, this, nullptr);
    disconnect(m_model, nullptr, this, nullptr);
    m_model->SetRenamer(nullptr);
    m_model->SetDisposer(nullptr);
}

void CCollectionView::SetCollection(CCollection* collection, const QString& reason, const std::string& readPath)
{
    SetCollectionSource(collection != nullptr ? CollectionSource([collection] { return collection; }) : CollectionSource(),
                        reason, readPath);
}

void CCollectionView::SetCollectionSource(CollectionSource source, const QString& reason, const std::string& readPath)
{
    m_source = std::move(source);
    m_reason = reason;
    m_changeCount = -1;
    m_lastChange = -1;
    m_rowsPending = false;
    m_shownAny = false;
    m_narrowKnown = false;
    m_held.clear();
    m_undo->clear();   // its steps were on the other database
    m_reader->SetSource([this] { return Collection(); }, m_source ? readPath : std::string());
    // The database is asked for only once the view is to show it.
    if (isVisible())
        m_available = Collection() != nullptr;
    if (isVisible() && m_available) {
        Refresh();
    } else {
        m_model->SetPrograms({});
        m_filters.clear();
        m_filterBox->clear();
    }
    ShowState();
}

void CCollectionView::SetColors(COLORREF text, COLORREF back, COLORREF marked)
{
    m_model->SetColors(text, back, marked);
    QPalette palette = m_table->palette();
    palette.setColor(QPalette::Base, ToQColor(back));
    palette.setColor(QPalette::Text, ToQColor(text));
    // Selected rows swap the two colours, as in the list.
    palette.setColor(QPalette::Highlight, ToQColor(text));
    palette.setColor(QPalette::HighlightedText, ToQColor(back));
    m_table->setPalette(palette);
}

void CCollectionView::SetPollInterval(int milliseconds)
{
    m_poll->setInterval(milliseconds);
}

QSize CCollectionView::sizeHint() const
{
    // Room for the search line, the headings and a dozen rows when the pane first comes up.
    const QMargins margins = layout()->contentsMargins();
    const int rows = m_table->verticalHeader()->defaultSectionSize() * FIRST_ROWS;
    const int height = margins.top() + m_search->sizeHint().height() + m_table->horizontalHeader()->sizeHint().height()
                       + rows + 2 * m_table->frameWidth() + m_count->sizeHint().height()
                       + 3 * layout()->spacing() + margins.bottom();
    return QSize(QWidget::sizeHint().width(), height);
}

void CCollectionView::KeepingSelection(const std::function<void()>& change)
{
    const std::vector<CollectionId> selected = SelectedIds();
    const CCollectionRow* current = m_model->Program(m_table->currentIndex().row());
    const CollectionId currentId = current != nullptr ? current->id : 0;

    change();

    if (!selected.empty())
        SelectIds(selected);
    if (const int row = currentId != 0 ? m_model->RowOf(currentId) : -1; row >= 0)
        m_table->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    ShowState();
}

void CCollectionView::KeepingTopRow(const std::function<void()>& change)
{
    const int topRow = m_table->rowAt(0);
    const CCollectionRow* top = m_model->Program(topRow);
    const CollectionId topId = top != nullptr ? top->id : 0;
    const int topSlot = m_model->Slot(topRow);
    // Moved with its row by the change (one layout change, or none).
    const QPersistentModelIndex kept = top != nullptr ? m_model->index(topRow, 0) : QModelIndex();

    change();

    if (topId == 0)
        return;
    m_table->doItemsLayout();   // the rows' new extent, before scrolling in it
    if (const CCollectionRow* at = m_model->Program(kept.row());
        kept.isValid() && at != nullptr && at->id == topId && m_model->Slot(kept.row()) == topSlot) {
        m_table->scrollTo(kept, QAbstractItemView::PositionAtTop);
        return;
    }
    for (int row = m_model->RowOf(topId); row >= 0 && row < m_model->rowCount(); ++row) {
        const CCollectionRow* program = m_model->Program(row);
        if (program == nullptr)   // the rows not read yet
            break;
        if (program->id == topId && m_model->Slot(row) == topSlot) {
            m_table->scrollTo(m_model->index(row, 0), QAbstractItemView::PositionAtTop);
            break;
        }
    }
}

void CCollectionView::ShowState()
{
    if (!m_available) {
        m_hint->setText(m_reason.isEmpty() ? QString("The Collection cannot be used.") : m_reason);
        m_hint->show();
        m_table->hide();
        m_count->clear();
        return;
    }
    const int rows = m_model->rowCount();
    const bool empty = m_shownAny && rows == 0 && m_search->text().isEmpty()
                       && m_filter.kind == CCollectionFilter::Kind::All && m_voiceMode == ANY_VOICE_MODE;
    m_hint->setText("The Collection is empty. Every file you open and every dump you receive from the "
                    "synthesizer is kept here.");
    m_hint->setVisible(empty);
    m_table->setVisible(!empty);
    const QString what = m_model->HasSlots() ? QString("slot") : QString("program");
    m_count->setText(rows == 1 ? QString("1 %1").arg(what) : QString("%1 %2s").arg(rows).arg(what));
}

void CCollectionView::SizeColumns()
{
    // Each column as wide as what the rows in sight hold (the first time; later only wider),
    // so that a long name is not cut while the dates take the room left.
    QHeaderView* header = m_table->horizontalHeader();
    header->setResizeContentsPrecision(0);
    for (int column = 0; column < CCollectionModel::COLUMN_COUNT; ++column) {
        if (header->isSectionHidden(column))
            continue;
        const int wanted = std::max(m_table->ContentWidth(column), header->sectionSizeHint(column));
        if (!m_columnsSized || wanted > header->sectionSize(column))
            header->resizeSection(column, wanted);
    }
    m_columnsSized = m_model->rowCount() > 0;
}

void CCollectionView::ShowSlotColumn(bool bySlot)
{
    QHeaderView* header = m_table->horizontalHeader();
    if (header->isSectionHidden(CCollectionModel::SLOT) != bySlot)
        return;
    header->setSectionHidden(CCollectionModel::SLOT, !bySlot);
    // A source or list comes in slot order; the other filters in name order.
    if (bySlot)
        m_table->sortByColumn(CCollectionModel::SLOT, Qt::AscendingOrder);
    else if (m_model->SortColumn() == CCollectionModel::SLOT)
        m_table->sortByColumn(CCollectionModel::NAME, Qt::AscendingOrder);
}

std::vector<CollectionId> CCollectionView::SelectedIds() const
{
    // A program in several selected slots counts once.
    std::unordered_set<CollectionId> seen;
    std::vector<CollectionId> ids;
    for (int row : RowsToActOn(*m_table))
        if (const CCollectionRow* program = m_model->Program(row); program != nullptr && seen.insert(program->id).second)
            ids.push_back(program->id);
    return ids;
}

std::vector<CCollectionRow> CCollectionView::SelectedPrograms() const
{
    const std::vector<int> rows = RowsToActOn(*m_table);
    std::unordered_set<CollectionId> seen;
    std::vector<CCollectionRow> programs;
    programs.reserve(rows.size());
    for (int row : rows)
        if (const CCollectionRow* program = m_model->Program(row); program != nullptr && seen.insert(program->id).second)
            programs.push_back(*program);
    return programs;
}

void CCollectionView::SelectIds(const std::vector<CollectionId>& ids)
{
    if (ids.empty()) {
        m_table->selectionModel()->clearSelection();
        return;
    }
    const std::unordered_set<CollectionId> wanted(ids.begin(), ids.end());
    QItemSelection selection;
    int runStart = -1;
    const int rows = m_model->rowCount();
    const int lastColumn = CCollectionModel::COLUMN_COUNT - 1;
    for (int row = 0; row <= rows; ++row) {
        const CCollectionRow* program = row < rows ? m_model->Program(row) : nullptr;   // null: not read yet
        const bool in = program != nullptr && wanted.count(program->id) != 0;
        if (in && runStart < 0)
            runStart = row;
        if (!in && runStart >= 0) {
            selection.select(m_model->index(runStart, 0), m_model->index(row - 1, lastColumn));
            runStart = -1;
        }
    }
    m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty())
        m_table->selectionModel()->setCurrentIndex(selection.first().topLeft(), QItemSelectionModel::NoUpdate);
}

void CCollectionView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The database is looked at once the show is over: opening it may have to tell that it
    // was damaged, and no message box may run inside a show.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            CheckForChanges();
    });
    m_poll->start();
    m_search->setFocus();
}

void CCollectionView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_poll->stop();
}

bool CCollectionView::eventFilter(QObject* watched, QEvent* event)
{
    // Down leaves the search field for the table's first row.
    if (watched == m_search && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down && m_model->rowCount() > 0) {
        m_table->setFocus();
        m_table->selectionModel()->setCurrentIndex(m_model->index(0, 0),
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool CCollectionView::event(QEvent* event)
{
    // Reached when the widget with the focus (the table, the filter box) did not claim the key.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll)) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void CCollectionView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        m_table->selectAll();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
