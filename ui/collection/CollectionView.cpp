#include "CollectionView.h"

#include "CollectionModel.h"
#include "CollectionTable.h"
#include "library/SelectedRows.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <unordered_set>

namespace {
constexpr int DEFAULT_POLL_MS = 2000;
}  // namespace

CCollectionView::CCollectionView(QWidget* parent)
    : QWidget(parent), m_search(new QLineEdit(this)), m_filterBox(new QComboBox(this)),
      m_table(new CCollectionTable(this)), m_model(new CCollectionModel(this)), m_hint(new QLabel(this)),
      m_count(new QLabel(this)), m_poll(new QTimer(this))
{
    setObjectName("collectionView");
    m_search->setObjectName("collectionSearch");
    m_search->setPlaceholderText("Search names");
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    m_filterBox->setObjectName("collectionFilter");
    m_filterBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_filterBox->setMinimumContentsLength(14);
    m_table->setObjectName("collectionTable");
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
    header->setSortIndicator(CCollectionModel::NAME, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);

    auto* top = new QHBoxLayout;
    top->addWidget(m_search, 1);
    top->addWidget(m_filterBox);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_hint);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_count);
    setFocusProxy(m_search);

    connect(m_search, &QLineEdit::textChanged, this, [this] { OnSearchChanged(); });
    connect(m_filterBox, qOverload<int>(&QComboBox::activated), this, [this](int index) { OnFilterChosen(index); });
    connect(m_table, &CCollectionTable::activatedRow, this, [this] { emit auditionRequested(); });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit selectionChanged(); });
    connect(m_model, &CCollectionModel::renameFailed, this, &CCollectionView::statusMessage);
    // A sort moves rows; the selection follows its programs.
    connect(m_model, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] {
        // The selection itself: a current row alone stays current, not selected.
        m_keptSelection = m_table->selectionModel()->hasSelection() ? SelectedIds() : std::vector<CollectionId>();
        const CCollectionRow* current = m_model->Program(m_table->currentIndex().row());
        m_keptCurrent = current != nullptr ? current->id : 0;
    });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] {
        SelectIds(m_keptSelection);
        if (const int row = m_model->RowOf(m_keptCurrent); row >= 0)
            m_table->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    });

    m_poll->setInterval(DEFAULT_POLL_MS);
    connect(m_poll, &QTimer::timeout, this, [this] { CheckForChanges(); });
    ShowState();
}

void CCollectionView::SetCollection(CCollection* collection, const QString& reason)
{
    SetCollectionSource(collection != nullptr ? CollectionSource([collection] { return collection; }) : CollectionSource(),
                        reason);
}

void CCollectionView::SetCollectionSource(CollectionSource source, const QString& reason)
{
    m_source = std::move(source);
    m_reason = reason;
    m_changeCount = -1;
    m_model->SetRenamer([this](CollectionId id, const std::string& name, std::string& error) {
        CCollection* collection = Collection();
        if (collection == nullptr) {
            error = "The Collection cannot be used now.";
            return false;
        }
        return collection->Rename(id, name, error);
    });
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

void CCollectionView::Refresh()
{
    // A hidden view asks nothing of the database: it looks again when it is shown.
    if (!isVisible()) {
        m_changeCount = -1;
        return;
    }
    CCollection* collection = Collection();
    if (collection == nullptr)
        return;
    m_available = true;
    m_changeCount = collection->ChangeCount();
    FillFilters();
    Search();
}

bool CCollectionView::CheckForChanges()
{
    CCollection* collection = Collection();
    const bool available = collection != nullptr;
    if (available != m_available) {
        m_available = available;
        ShowState();
    }
    if (collection == nullptr || collection->ChangeCount() == m_changeCount)
        return false;
    Refresh();
    return true;
}

void CCollectionView::FillFilters()
{
    std::vector<CCollectionFilter> filters = CollectionFilters(*Collection());
    // The filter chosen stays chosen while it exists; a tag, source or list that went away
    // falls back to All.
    int chosen = 0;
    for (std::size_t i = 0; i < filters.size(); ++i)
        if (filters[i].SameAs(m_filter))
            chosen = static_cast<int>(i);
    m_filters = std::move(filters);
    m_filter = m_filters[static_cast<std::size_t>(chosen)];

    const QSignalBlocker block(m_filterBox);
    m_filterBox->clear();
    for (std::size_t i = 0; i < m_filters.size(); ++i) {
        m_filterBox->addItem(m_filters[i].label);
        if (!m_filters[i].toolTip.isEmpty())
            m_filterBox->setItemData(static_cast<int>(i), m_filters[i].toolTip, Qt::ToolTipRole);
    }
    // A line between the three fixed filters and the tags, sources and lists.
    if (m_filters.size() > 3)
        m_filterBox->insertSeparator(3);
    m_filterBox->setCurrentIndex(chosen < 3 ? chosen : chosen + 1);
}

void CCollectionView::OnFilterChosen(int index)
{
    // The separator after the third entry shifts the others by one.
    const int filter = index > 3 ? index - 1 : index;
    if (filter < 0 || filter >= static_cast<int>(m_filters.size()))
        return;
    m_filter = m_filters[static_cast<std::size_t>(filter)];
    if (!CheckForChanges())
        Search();
}

void CCollectionView::OnSearchChanged()
{
    if (!CheckForChanges())
        NarrowToText();
}

template <typename Change>
void CCollectionView::KeepingSelection(Change change)
{
    const std::vector<CollectionId> selected = SelectedIds();
    const CCollectionRow* current = m_model->Program(m_table->currentIndex().row());
    const CollectionId currentId = current != nullptr ? current->id : 0;

    change();

    if (!selected.empty())
        SelectIds(selected);
    if (const int row = m_model->RowOf(currentId); currentId != 0 && row >= 0)
        m_table->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    ShowState();
}

void CCollectionView::Search()
{
    CCollection* collection = Collection();
    if (collection == nullptr)
        return;
    KeepingSelection([this, collection] {
        // The text narrows in memory: every keystroke then costs a pass over the names
        // rather than a new read of the rows.
        CCollectionQuery query;
        m_filter.Apply(query);
        m_model->SetPrograms(collection->SearchRows(query));
        if (collection->ReadFailed())
            emit statusMessage("Cannot read the Collection: " + QString::fromStdString(collection->ReadError()));
        const std::string text = m_search->text().toStdString();
        if (!text.empty()) {
            const std::vector<CollectionId> named = collection->ProgramsNamed(text);
            m_model->Narrow(&named);
        }
    });
}

void CCollectionView::NarrowToText()
{
    CCollection* collection = Collection();
    if (collection == nullptr)
        return;
    KeepingSelection([this, collection] {
        const std::string text = m_search->text().toStdString();
        if (text.empty()) {
            m_model->Narrow(nullptr);
        } else {
            const std::vector<CollectionId> named = collection->ProgramsNamed(text);
            m_model->Narrow(&named);
        }
    });
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
    const bool empty = rows == 0 && m_search->text().isEmpty() && m_filter.kind == CCollectionFilter::Kind::All;
    m_hint->setText("The Collection is empty. Every file you open and every dump you receive from the "
                    "synthesizer is kept here.");
    m_hint->setVisible(empty);
    m_table->setVisible(!empty);
    m_count->setText(rows == 1 ? QString("1 program") : QString("%1 programs").arg(rows));
}

std::vector<CollectionId> CCollectionView::SelectedIds() const
{
    std::vector<CollectionId> ids;
    for (int row : RowsToActOn(*m_table))
        if (const CCollectionRow* program = m_model->Program(row))
            ids.push_back(program->id);
    return ids;
}

std::vector<CCollectionRow> CCollectionView::SelectedPrograms() const
{
    const std::vector<int> rows = RowsToActOn(*m_table);
    std::vector<CCollectionRow> programs;
    programs.reserve(rows.size());
    for (int row : rows)
        if (const CCollectionRow* program = m_model->Program(row))
            programs.push_back(*program);
    return programs;
}

void CCollectionView::SelectIds(const std::vector<CollectionId>& ids)
{
    const std::unordered_set<CollectionId> wanted(ids.begin(), ids.end());
    QItemSelection selection;
    int runStart = -1;
    const int rows = m_model->rowCount();
    const int lastColumn = CCollectionModel::COLUMN_COUNT - 1;
    for (int row = 0; row <= rows; ++row) {
        const bool in = row < rows && wanted.count(m_model->Program(row)->id) != 0;
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
    CheckForChanges();
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
