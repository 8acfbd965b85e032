#include "CollectionModel.h"

#include "Bank.h"
#include "CollectionTime.h"
#include "SyxProgram.h"

#include <QFileInfo>
#include <QFont>

#include <algorithm>
#include <cctype>
#include <climits>
#include <numeric>
#include <unordered_set>

namespace {
const char* const COLUMN_TITLES[CCollectionModel::COLUMN_COUNT] = {"Name",    "Mode",       "Fav", "Tags",
                                                                   "Sources", "First Seen", "Slot"};
const QString FAVOURITE_MARK = QStringLiteral("\u2605");
const QString NO_NAME = QStringLiteral("(no name)");

// The search's own order: shown name with letter case ignored, then id.
int CompareNames(const CCollectionRow& a, const CCollectionRow& b)
{
    const std::size_t length = std::min(a.shownName.size(), b.shownName.size());
    for (std::size_t i = 0; i < length; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a.shownName[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b.shownName[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.shownName.size() != b.shownName.size())
        return a.shownName.size() < b.shownName.size() ? -1 : 1;
    return a.id == b.id ? 0 : (a.id < b.id ? -1 : 1);
}

QString JoinedTags(const CCollectionRow& program)
{
    QStringList tags;
    for (const std::string& tag : program.tags)
        tags.append(QString::fromStdString(tag));
    return tags.join(", ");
}

}  // namespace

// Ordering by a column; ties keep the rows in name order.
bool RowBefore(const CViewRow& rowA, const CViewRow& rowB, int column)
{
    const CCollectionRow& a = rowA.program;
    const CCollectionRow& b = rowB.program;
    switch (column) {
    case CCollectionModel::MODE:   // in the synthesizer's order: Single, Split, Dual, Vocoder
        if (a.voiceModeIndex != b.voiceModeIndex)
            return a.voiceModeIndex < b.voiceModeIndex;
        break;
    case CCollectionModel::FAVOURITE:
        if (a.favourite != b.favourite)
            return a.favourite;   // favourites first
        break;
    case CCollectionModel::TAGS:
        if (a.tags != b.tags)
            return a.tags < b.tags;
        break;
    case CCollectionModel::SOURCES:
        if (a.sourceCount != b.sourceCount)
            return a.sourceCount < b.sourceCount;
        break;
    case CCollectionModel::FIRST_SEEN:
        if (a.firstSeenTime != b.firstSeenTime)
            return a.firstSeenTime < b.firstSeenTime;
        break;
    case CCollectionModel::SLOT:
        if (rowA.slot != rowB.slot)
            return rowA.slot < rowB.slot;
        break;
    default:
        break;
    }
    return CompareNames(a, b) < 0;
}

namespace {
// Where a program without a name was first seen: "in Demo-Bank.syx, A 001".
QString PlaceText(const CProgramPlace& place)
{
    const QString source = QString::fromStdString(place.sourceName);
    const QString shown = place.kind == SourceKind::File ? QFileInfo(source).fileName() : source;
    return QString("in %1, %2").arg(shown, QString::fromStdString(CBank::SlotName(place.slot)));
}

// The marks a screen reader tells with a row; colour alone tells nothing.
QString MarksText(const CCollectionRow& program)
{
    QStringList marks;
    if (program.favourite)
        marks << "favourite";
    if (program.hidden)
        marks << "hidden";
    return marks.join(", ");
}
}  // namespace

bool IsValidProgramName(const QString& name)
{
    if (name.isEmpty() || name.size() > PROGRAM_NAME_LENGTH)
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

QString ProgramNameRule()
{
    return QString("A program name is 1 to %1 characters the synthesizer can show: letters A-Z and a-z, "
                   "digits, the space and ! \" # $ %2 & ' ( ) * + , - . / : ; < = > ? @ [ \\ ] ^ _ ` { | } ~")
        .arg(PROGRAM_NAME_LENGTH)
        .arg('%');
}

CCollectionModel::CCollectionModel(QObject* parent) : QAbstractTableModel(parent) {}

void CCollectionModel::SetPrograms(std::vector<CCollectionRow> programs)
{
    std::vector<CViewRow> rows(programs.size());
    for (std::size_t i = 0; i < programs.size(); ++i)
        rows[i].program = std::move(programs[i]);
    SetRows(std::move(rows), false);
}

void CCollectionModel::SetRows(std::vector<CViewRow> rows, bool bySlot)
{
    // The search gave them in name order, slots in slot order.
    CRowOrder given;
    given.column = bySlot ? SLOT : NAME;
    SetRows(std::move(rows), bySlot, std::move(given));
}

void CCollectionModel::SetRows(std::vector<CViewRow> rows, bool bySlot, CRowOrder order)
{
    beginResetModel();
    m_slots = bySlot;
    TakeRows(std::move(rows), order);
    endResetModel();
}

void CCollectionModel::SetFirstRows(std::vector<CViewRow> rows, std::size_t total)
{
    beginResetModel();
    m_slots = false;
    CRowOrder order;
    order.column = m_sortColumn;
    order.order = m_sortOrder;
    order.shownKnown = true;
    for (const CViewRow& row : rows)
        order.largestId = std::max(order.largestId, row.program.id);
    const std::size_t kept = rows.size();
    TakeRows(std::move(rows), order);
    m_unread = static_cast<int>(std::min<std::size_t>(total > kept ? total - kept : 0, INT_MAX - kept));
    endResetModel();
}

void CCollectionModel::TakeRows(std::vector<CViewRow> rows, CRowOrder& order)
{
    m_unread = 0;
    std::vector<CViewRow> old = std::move(m_rows);
    m_rows = std::move(rows);
    Dispose(std::move(old));
    if (m_sortColumn != order.column || m_sortOrder != order.order) {
        SortRows();
        ShowMatching();
    } else if (order.shownKnown) {
        m_allShown = order.allShown;
        m_shown = order.allShown ? std::vector<int>() : std::move(order.shown);
    } else {
        ShowMatching();
    }
    m_largestId = order.shownKnown ? order.largestId : 0;
    if (!order.shownKnown)
        for (const CViewRow& row : m_rows)
            m_largestId = std::max(m_largestId, row.program.id);
}

void CCollectionModel::Dispose(std::vector<CViewRow> rows)
{
    if (m_disposer && rows.capacity() > 0)
        m_disposer(std::move(rows));
}

void CCollectionModel::ShowMatching()
{
    m_shown.clear();
    std::size_t place = 0;
    while (place < m_rows.size() && m_rows[place].matchesText)
        ++place;
    m_allShown = place == m_rows.size();
    if (m_allShown) {
        m_shown.shrink_to_fit();
        return;
    }
    m_shown.reserve(m_rows.size());
    for (std::size_t i = 0; i < place; ++i)
        m_shown.push_back(static_cast<int>(i));
    for (; place < m_rows.size(); ++place)
        if (m_rows[place].matchesText)
            m_shown.push_back(static_cast<int>(place));
}

int CCollectionModel::ShownRowOf(int place) const
{
    if (place < 0 || static_cast<std::size_t>(place) >= m_rows.size()
        || !m_rows[static_cast<std::size_t>(place)].matchesText)
        return -1;
    if (m_allShown)
        return place;
    return static_cast<int>(std::lower_bound(m_shown.begin(), m_shown.end(), place) - m_shown.begin());
}

void CCollectionModel::Narrow(const std::vector<CollectionId>* ids, bool withinShown)
{
    if (ids == nullptr && m_allShown)
        return;
    // The rows stay where they are: a row shown before and after keeps its selection.
    Relayout(
        [&] {
            if (ids == nullptr) {
                if (m_allShown)
                    return;
                for (CViewRow& row : m_rows)
                    row.matchesText = true;
                m_allShown = true;
                m_shown = {};
                return;
            }
            // When the text grew, only the rows it held before can hold it now.
            std::vector<int> shown =
                MarkTextMatches(m_rows, withinShown && !m_allShown ? &m_shown : nullptr, *ids, m_largestId);
            m_allShown = false;
            m_shown = std::move(shown);
        },
        [](int oldPlace) { return oldPlace; }, false);
}

const CCollectionRow* CCollectionModel::Program(int row) const
{
    return row >= 0 && row < ShownCount() ? &m_rows[PlaceOf(row)].program : nullptr;
}

int CCollectionModel::Slot(int row) const
{
    return row >= 0 && row < ShownCount() ? m_rows[PlaceOf(row)].slot : -1;
}

int CCollectionModel::RowOf(CollectionId id) const
{
    for (int row = 0, rows = ShownCount(); row < rows; ++row)
        if (m_rows[PlaceOf(row)].program.id == id)
            return row;
    return -1;
}

std::vector<CViewRow> CCollectionModel::RowsOf(CollectionId id) const
{
    std::vector<CViewRow> rows;
    for (const CViewRow& row : m_rows)
        if (row.program.id == id)
            rows.push_back(row);
    return rows;
}

void CCollectionModel::SetPlaces(const std::vector<CProgramPlace>& places)
{
    bool added = false;
    for (const CProgramPlace& place : places)
        added = m_places.insert_or_assign(place.program, PlaceText(place)).second || added;
    if (added && rowCount() > 0)
        emit dataChanged(index(0, NAME), index(rowCount() - 1, NAME));
}

std::vector<CollectionId> CCollectionModel::NamelessWithoutPlace() const
{
    std::vector<CollectionId> ids;
    std::unordered_set<CollectionId> seen;
    for (const CViewRow& row : m_rows)
        if (row.program.shownName.empty() && m_places.count(row.program.id) == 0 && seen.insert(row.program.id).second)
            ids.push_back(row.program.id);
    return ids;
}

QString CCollectionModel::ShownName(const CCollectionRow& program) const
{
    if (!program.shownName.empty())
        return QString::fromLatin1(program.shownName.c_str());
    const auto place = m_places.find(program.id);
    return place == m_places.end() ? NO_NAME : NO_NAME + ' ' + place->second;
}

bool CCollectionModel::UpdateProgram(CollectionId id, const std::function<void(CCollectionRow&)>& change)
{
    bool kept = false;
    for (std::size_t place = 0; place < m_rows.size(); ++place) {
        if (m_rows[place].program.id != id)
            continue;
        kept = true;
        change(m_rows[place].program);
        const int row = ShownRowOf(static_cast<int>(place));
        if (row < 0)
            continue;
        // The whole row: a change of one cell would also reset an open editor's text.
        emit dataChanged(index(row, 0), index(row, COLUMN_COUNT - 1));
    }
    return kept;
}

void CCollectionModel::SetColors(COLORREF text, COLORREF back, COLORREF marked)
{
    m_text = text;
    m_back = back;
    m_marked = marked;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, COLUMN_COUNT - 1));
}

int CCollectionModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ShownCount() + m_unread;
}

int CCollectionModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : COLUMN_COUNT;
}

QVariant CCollectionModel::data(const QModelIndex& index, int role) const
{
    const CCollectionRow* program = Program(index.row());
    if (program == nullptr) {
        // A row not read yet is blank, in the rows' colours.
        if (role == Qt::ForegroundRole)
            return ToQColor(m_text);
        if (role == Qt::BackgroundRole)
            return ToQColor(m_back);
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NAME: return ShownName(*program);
        case MODE: return QString::fromLatin1(VOICE_MODE_NAMES[program->voiceModeIndex & 3]);
        case FAVOURITE: return program->favourite ? FAVOURITE_MARK : QString();
        case TAGS: return JoinedTags(*program);
        case SOURCES: return program->sourceCount;
        case FIRST_SEEN: return QString::fromStdString(LocalTimeWithSpace(program->firstSeenTime));
        case SLOT: {
            const int slot = Slot(index.row());
            return CBank::IsSlot(slot) ? QString::fromStdString(CBank::SlotName(slot)) : QString();
        }
        default: return {};
        }
    case Qt::EditRole:
        if (index.column() == NAME)
            return QString::fromLatin1(program->shownName.c_str());
        return data(index, Qt::DisplayRole);
    case Qt::ForegroundRole:
        return ToQColor(m_text);
    case Qt::BackgroundRole:
        return ToQColor(program->favourite ? m_marked : m_back);
    case Qt::FontRole:
        if (program->hidden || program->shownName.empty()) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == FAVOURITE || index.column() == SOURCES)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (index.column() == NAME && program->hidden)
            return QStringLiteral("Hidden");
        if (index.column() == NAME && program->shownName.empty())
            return ShownName(*program);
        return {};
    case Qt::AccessibleDescriptionRole:
        return MarksText(*program);
    default:
        return {};
    }
}

bool CCollectionModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != NAME || !m_renamer || Program(index.row()) == nullptr)
        return false;
    const CCollectionRow& program = *Program(index.row());
    const QString name = value.toString();
    if (name == QString::fromLatin1(program.shownName.c_str()))
        return true;
    if (!IsValidProgramName(name)) {
        emit renameFailed(name.isEmpty() ? ProgramNameRule()
                                         : QString("\"%1\" cannot be a program name. %2").arg(name, ProgramNameRule()));
        return false;
    }
    std::string error;
    if (!m_renamer(program.id, name.toLatin1().toStdString(), error)) {
        emit renameFailed(QString::fromStdString(error));
        return false;
    }
    return true;
}

QVariant CCollectionModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= COLUMN_COUNT)
        return {};
    if (role == Qt::DisplayRole)
        return QString(COLUMN_TITLES[section]);
    if (role == Qt::ToolTipRole && section == FAVOURITE)
        return QStringLiteral("Favourite");
    return {};
}

Qt::ItemFlags CCollectionModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (Program(index.row()) == nullptr)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (index.column() == NAME && m_renamer)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool CCollectionModel::Before(const CViewRow& a, const CViewRow& b) const
{
    return m_sortOrder == Qt::AscendingOrder ? RowBefore(a, b, m_sortColumn) : RowBefore(b, a, m_sortColumn);
}

void CCollectionModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= COLUMN_COUNT)
        return;
    if (column == m_sortColumn && order == m_sortOrder)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_sortColumn = column;
    m_sortOrder = order;
    const std::vector<int> newPlaceOf = SortRows();

    // The rows shown stay the same, now in the new order.
    std::vector<int> shown;
    if (!m_allShown) {
        shown.resize(m_shown.size());
        for (std::size_t row = 0; row < m_shown.size(); ++row)
            shown[row] = newPlaceOf[static_cast<std::size_t>(m_shown[row])];
        std::sort(shown.begin(), shown.end());
    }
    const auto newRowOf = [&](int oldRow) {
        if (oldRow >= ShownCount())   // a row not read yet stays where it is
            return oldRow;
        const int place = newPlaceOf[PlaceOf(oldRow)];
        return m_allShown ? place
                          : static_cast<int>(std::lower_bound(shown.begin(), shown.end(), place) - shown.begin());
    };
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(old.isValid() ? index(newRowOf(old.row()), old.column()) : QModelIndex());
    m_shown = std::move(shown);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::vector<int> CCollectionModel::SortRows()
{
    // Sorts row numbers rather than the rows, so that each row moves once.
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return Before(m_rows[static_cast<std::size_t>(a)], m_rows[static_cast<std::size_t>(b)]);
    });
    std::vector<CViewRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (std::size_t row = 0; row < order.size(); ++row) {
        sorted.push_back(std::move(m_rows[static_cast<std::size_t>(order[row])]));
        newRowOf[static_cast<std::size_t>(order[row])] = static_cast<int>(row);
    }
    std::swap(m_rows, sorted);
    Dispose(std::move(sorted));
    return newRowOf;
}
