#include "CollectionModel.h"

#include "SyxProgram.h"

#include <QFont>

#include <algorithm>
#include <cctype>

namespace {
const char* const COLUMN_TITLES[CCollectionModel::COLUMN_COUNT] = {"Name", "Mode", "Fav", "Tags", "Sources",
                                                                   "First Seen"};
const QString FAVOURITE_MARK = QStringLiteral("\u2605");

// The search's own order: shown name with letter case ignored, then id.
int CompareNames(const CCollectionProgram& a, const CCollectionProgram& b)
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

QString JoinedTags(const CCollectionProgram& program)
{
    QStringList tags;
    for (const std::string& tag : program.tags)
        tags.append(QString::fromStdString(tag));
    return tags.join(", ");
}

// Voice modes in the synthesizer's order: Single, Split, Dual, Vocoder.
int ModeRank(const std::string& mode)
{
    for (int i = 0; i < 4; ++i)
        if (mode == VOICE_MODE_NAMES[i])
            return i;
    return 4;
}

// Ordering by a column; ties keep the rows in name order.
bool Before(const CCollectionProgram& a, const CCollectionProgram& b, int column)
{
    switch (column) {
    case CCollectionModel::MODE:
        if (a.voiceMode != b.voiceMode)
            return ModeRank(a.voiceMode) < ModeRank(b.voiceMode);
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
        if (a.firstSeen != b.firstSeen)
            return a.firstSeen < b.firstSeen;
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

void CCollectionModel::SetPrograms(std::vector<CCollectionProgram> programs)
{
    beginResetModel();
    m_programs = std::move(programs);
    // The search already gave them in name order.
    if (m_sortColumn != NAME || m_sortOrder != Qt::AscendingOrder)
        SortRows();
    endResetModel();
}

bool CCollectionModel::UpdateProgram(const CCollectionProgram& program)
{
    const int row = RowOf(program.id);
    if (row < 0)
        return false;
    m_programs[static_cast<std::size_t>(row)] = program;
    emit dataChanged(index(row, 0), index(row, COLUMN_COUNT - 1));
    return true;
}

const CCollectionProgram* CCollectionModel::Program(int row) const
{
    return row >= 0 && row < rowCount() ? &m_programs[static_cast<std::size_t>(row)] : nullptr;
}

int CCollectionModel::RowOf(CollectionId id) const
{
    const auto found = std::find_if(m_programs.begin(), m_programs.end(),
                                    [id](const CCollectionProgram& program) { return program.id == id; });
    return found == m_programs.end() ? -1 : static_cast<int>(found - m_programs.begin());
}

void CCollectionModel::SetColors(COLORREF text, COLORREF back, COLORREF marked)
{
    m_text = text;
    m_back = back;
    m_marked = marked;
    if (!m_programs.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, COLUMN_COUNT - 1));
}

int CCollectionModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_programs.size());
}

int CCollectionModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : COLUMN_COUNT;
}

QVariant CCollectionModel::data(const QModelIndex& index, int role) const
{
    const CCollectionProgram* program = Program(index.row());
    if (program == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case NAME: return QString::fromLatin1(program->shownName.c_str());
        case MODE: return QString::fromStdString(program->voiceMode);
        case FAVOURITE: return program->favourite ? FAVOURITE_MARK : QString();
        case TAGS: return JoinedTags(*program);
        case SOURCES: return program->sourceCount;
        case FIRST_SEEN: return QString::fromStdString(program->firstSeen).replace('T', ' ');
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
    CCollectionProgram& program = m_programs[static_cast<std::size_t>(index.row())];
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
    const std::vector<int> newRowOf = SortRows();

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(old.isValid() ? index(newRowOf[static_cast<std::size_t>(old.row())], old.column()) : QModelIndex());
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
        const CCollectionProgram& pa = m_programs[static_cast<std::size_t>(a)];
        const CCollectionProgram& pb = m_programs[static_cast<std::size_t>(b)];
        return ascending ? Before(pa, pb, column) : Before(pb, pa, column);
    });
    std::vector<CCollectionProgram> sorted;
    sorted.reserve(m_programs.size());
    std::vector<int> newRowOf(m_programs.size());
    for (std::size_t row = 0; row < order.size(); ++row) {
        sorted.push_back(std::move(m_programs[static_cast<std::size_t>(order[row])]));
        newRowOf[static_cast<std::size_t>(order[row])] = static_cast<int>(row);
    }
    m_programs = std::move(sorted);
    return newRowOf;
}
