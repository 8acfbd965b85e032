// What the Collection view's table shows in its cells and header, and the name edited there in place.

#include "CollectionModel.h"

#include "Bank.h"
#include "CollectionTime.h"
#include "SyxProgram.h"

#include <QFileInfo>
#include <QFont>

#include <algorithm>
#include <unordered_set>

namespace {
const char* const COLUMN_TITLES[CCollectionModel::COLUMN_COUNT] = {"Name",    "Mode",       "Fav", "Tags",
                                                                   "Sources", "First Seen", "Slot"};
const QString FAVOURITE_MARK = QStringLiteral("\u2605");
const QString NO_NAME = QStringLiteral("(no name)");

QString JoinedTags(const CCollectionRow& program)
{
    QStringList tags;
    for (const std::string& tag : program.tags)
        tags.append(QString::fromStdString(tag));
    return tags.join(", ");
}

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

void CCollectionModel::SetColors(COLORREF text, COLORREF back, COLORREF marked)
{
    m_text = text;
    m_back = back;
    m_marked = marked;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, COLUMN_COUNT - 1));
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
