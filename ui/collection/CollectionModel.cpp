#include "CollectionModel.h"

#include "CollectionTime.h"
#include "SyxProgram.h"

#include <QFont>

#include <algorithm>
#include <cctype>

namespace {
const char* const COLUMN_TITLES[CCollectionModel::COLUMN_COUNT] = {"Name", "Mode", "Fav", "Tags", "Sources",
                                                                   "First Seen"};
const QString FAVOURITE_MARK = QStringLiteral("\u2605");

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

// Ordering by a column; ties keep the rows in name order.
bool Before(const CCollectionRow& a, const CCollectionRow& b, int column)
{
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
    default:
        break;
    }
    return CompareNames(a, b) < 0;
}
}  // namespace

bool IsValidProgramName(const QString& name)
{
    if (name.isEmpty() || name.size() > 12)
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

CCollectionModel::CCollectionModel(QObject* parent) : QAbstractTableModel(parent) {}

void CCollectionModel::SetPrograms(std::vector<CCollectionRow> programs)
{
    beginResetModel();
    m_programs = std::move(programs);
    m_largestId = 0;
    for (const CCollectionRow& program : m_programs)
        m_largestId = std::max(m_largestId, program.id);
    // The search already gave them in name order.
    if (m_sortColumn != NAME || m_sortOrder != Qt::AscendingOrder)
        SortRows();
    m_shown.resize(m_programs.size());
    for (std::size_t i = 0; i < m_shown.size(); ++i)
        m_shown[i] = static_cast<int>(i);
    endResetModel();
}

void CCollectionModel::Narrow(const std::vector<CollectionId>* ids)
{
    beginResetModel();
    m_shown.clear();
    if (ids == nullptr) {
        m_shown.resize(m_programs.size());
        for (std::size_t i = 0; i < m_shown.size(); ++i)
            m_shown[i] = static_cast<int>(i);
    } else {
        // Ids are small row numbers of the database: a table of them beats a lookup per row.
        std::vector<bool> wanted(static_cast<std::size_t>(m_largestId) + 1);
        for (const CollectionId id : *ids)
            if (id > 0 && id <= m_largestId)
                wanted[static_cast<std::size_t>(id)] = true;
        for (std::size_t i = 0; i < m_programs.size(); ++i)
            if (m_programs[i].id > 0 && wanted[static_cast<std::size_t>(m_programs[i].id)])
                m_shown.push_back(static_cast<int>(i));
    }
    endResetModel();
}

const CCollectionRow* CCollectionModel::Program(int row) const
{
    return row >= 0 && row < rowCount() ? &m_programs[static_cast<std::size_t>(m_shown[static_cast<std::size_t>(row)])]
                                        : nullptr;
}

CCollectionRow* CCollectionModel::ShownRow(int row)
{
    return const_cast<CCollectionRow*>(Program(row));
}

int CCollectionModel::RowOf(CollectionId id) const
{
    for (std::size_t row = 0; row < m_shown.size(); ++row)
        if (m_programs[static_cast<std::size_t>(m_shown[row])].id == id)
            return static_cast<int>(row);
    return -1;
}

void CCollectionModel::SetColors(COLORREF text, COLORREF back, COLORREF marked)
{
    m_text = text;
    m_back = back;
    m_marked = marked;
    if (!m_shown.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, COLUMN_COUNT - 1));
}

int CCollectionModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int CCollectionModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : COLUMN_COUNT;
}

QVariant CCollectionModel::data(const QModelIndex& index, int role) const
{
    const CCollectionRow* program = Program(index.row());
    if (program == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case NAME: return QString::fromLatin1(program->shownName.c_str());
        case MODE: return QString::fromLatin1(VOICE_MODE_NAMES[program->voiceModeIndex & 3]);
        case FAVOURITE: return program->favourite ? FAVOURITE_MARK : QString();
        case TAGS: return JoinedTags(*program);
        case SOURCES: return program->sourceCount;
        case FIRST_SEEN: return QString::fromStdString(LocalTimeWithSpace(program->firstSeenTime));
        default: return {};
        }
    case Qt::ForegroundRole:
        return ToQColor(m_text);
    case Qt::BackgroundRole:
        return ToQColor(program->favourite ? m_marked : m_back);
    case Qt::FontRole:
        if (program->hidden) {
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
        return {};
    default:
        return {};
    }
}

bool CCollectionModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != NAME || !m_renamer || Program(index.row()) == nullptr)
        return false;
    CCollectionRow& program = *ShownRow(index.row());
    const QString name = value.toString();
    if (name == QString::fromLatin1(program.shownName.c_str()))
        return true;
    std::string error;
    if (!IsValidProgramName(name)) {
        emit renameFailed(QString("A program name is 1 to 12 printable ASCII characters: \"%1\" is not one.").arg(name));
        return false;
    }
    if (!m_renamer(program.id, name.toLatin1().toStdString(), error)) {
        emit renameFailed(QString::fromStdString(error));
        return false;
    }
    program.shownName = name.toLatin1().toStdString();
    emit dataChanged(index, index);
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
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (index.column() == NAME && m_renamer)
        flags |= Qt::ItemIsEditable;
    return flags;
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

    // The rows shown stay the same programs, now in the new order.
    std::vector<int> shown(m_shown.size());
    for (std::size_t row = 0; row < m_shown.size(); ++row)
        shown[row] = newPlaceOf[static_cast<std::size_t>(m_shown[row])];
    std::sort(shown.begin(), shown.end());
    const auto newRowOf = [&](int oldRow) {
        const int place = newPlaceOf[static_cast<std::size_t>(m_shown[static_cast<std::size_t>(oldRow)])];
        return static_cast<int>(std::lower_bound(shown.begin(), shown.end(), place) - shown.begin());
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
    // Sorts row numbers rather than the programs, so that each program moves once.
    std::vector<int> order(m_programs.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    const int column = m_sortColumn;
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    std::stable_sort(order.begin(), order.end(), [this, column, ascending](int a, int b) {
        const CCollectionRow& pa = m_programs[static_cast<std::size_t>(a)];
        const CCollectionRow& pb = m_programs[static_cast<std::size_t>(b)];
        return ascending ? Before(pa, pb, column) : Before(pb, pa, column);
    });
    std::vector<CCollectionRow> sorted;
    sorted.reserve(m_programs.size());
    std::vector<int> newRowOf(m_programs.size());
    for (std::size_t row = 0; row < order.size(); ++row) {
        sorted.push_back(std::move(m_programs[static_cast<std::size_t>(order[row])]));
        newRowOf[static_cast<std::size_t>(order[row])] = static_cast<int>(row);
    }
    m_programs = std::move(sorted);
    return newRowOf;
}
