// What the user sets on a program: favourite, hidden, tags, its name, a comment.

#include "Collection.h"

#include "CollectionErrors.h"
#include "CollectionSchema.h"
#include "CollectionTime.h"
#include "CollectionWrite.h"
#include "NameEnds.h"
#include "SqliteDb.h"

#include <sqlite3.h>

namespace {

constexpr std::size_t MAX_NAME_LENGTH = 12;
constexpr std::size_t MAX_TAG_LENGTH = 40;

const char* const ERROR_BAD_NAME =
    "A program name is 1 to 12 characters of the synthesizer's character set (printable ASCII)";
const char* const ERROR_BAD_TAG = "A tag is 1 to 40 characters, not only blanks, without commas or control characters";

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

// Trailing blanks are dropped: the synthesizer pads names with them.
bool CheckedName(const std::string& name, std::string& checked)
{
    checked = name;
    while (!checked.empty() && checked.back() == ' ')
        checked.pop_back();
    if (checked.empty() || name.size() > MAX_NAME_LENGTH)
        return false;
    for (const char c : checked)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            return false;
    return true;
}

// Characters, not bytes: a tag is UTF-8, and "Ünterwelt" is nine of them.
std::size_t CharacterCount(const std::string& text)
{
    std::size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

bool CheckedTag(const std::string& tag)
{
    if (tag.find_first_not_of(" \t") == std::string::npos || CharacterCount(tag) > MAX_TAG_LENGTH)
        return false;
    for (const char c : tag)
        if (c == ',' || IsControl(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool ProgramExists(CSqliteDb& db, CollectionId id, std::string& error)
{
    CSqliteQuery query(db, "SELECT 1 FROM program WHERE id = ?");
    if (query.Bind(1, id).Next())
        return true;
    error = query.Failed() ? DatabaseError(db) : UnknownProgram(id);
    return false;
}

// Runs an UPDATE of one program's row; an id that matches no row is an error.
bool UpdateProgram(CSqliteDb& db, const char* sql, CollectionId id, std::int64_t value, const std::string* text,
                   std::string& error)
{
    CSqliteQuery query(db, sql);
    if (text != nullptr)
        query.BindText(1, *text);
    else
        query.Bind(1, value);
    if (!query.Bind(2, id).Run()) {
        error = DatabaseError(db);
        return false;
    }
    if (sqlite3_changes(db.Handle()) == 0) {
        error = UnknownProgram(id);
        return false;
    }
    return true;
}

} // namespace

bool CCollection::CheckTag(const std::string& tag, std::string& error)
{
    if (CheckedTag(tag))
        return true;
    error = ERROR_BAD_TAG;
    return false;
}

bool CCollection::CheckName(const std::string& name, std::string& error)
{
    std::string checked;
    if (CheckedName(name, checked))
        return true;
    error = ERROR_BAD_NAME;
    return false;
}

bool CCollection::SetFavourite(CollectionId id, bool favourite, std::string& error)
{
    if (!CanWrite(error))
        return false;
    return UpdateProgram(*m_db, "UPDATE program SET favourite = ? WHERE id = ?", id, favourite ? 1 : 0, nullptr,
                         error);
}

bool CCollection::SetHidden(CollectionId id, bool hidden, std::string& error)
{
    if (!CanWrite(error))
        return false;
    return UpdateProgram(*m_db, "UPDATE program SET hidden = ? WHERE id = ?", id, hidden ? 1 : 0, nullptr, error);
}

bool CCollection::SetComment(CollectionId id, const std::string& comment, std::string& error)
{
    if (!CanWrite(error))
        return false;
    return UpdateProgram(*m_db, "UPDATE program SET comment = ? WHERE id = ?", id, 0, &comment, error);
}

bool CCollection::AddTag(CollectionId id, const std::string& tag, std::string& error)
{
    if (!CheckTag(tag, error) || !CanWrite(error))
        return false;
    if (!ProgramExists(*m_db, id, error))
        return false;
    // A tag the program has already, in any letter case, stays as it is.
    CSqliteQuery insert(*m_db, "INSERT INTO tag(program, tag) VALUES(?, ?) ON CONFLICT DO NOTHING");
    if (!insert.Bind(1, id).BindText(2, tag).Run()) {
        error = DatabaseError(*m_db);
        return false;
    }
    return true;
}

bool CCollection::RemoveTag(CollectionId id, const std::string& tag, std::string& error)
{
    if (!CanWrite(error) || !ProgramExists(*m_db, id, error))
        return false;
    CSqliteQuery remove(*m_db, "DELETE FROM tag WHERE program = ? AND tag = ?");
    if (!remove.Bind(1, id).BindText(2, tag).Run()) {
        error = DatabaseError(*m_db);
        return false;
    }
    return true;
}

bool CCollection::Rename(CollectionId id, const std::string& name, std::string& error, std::int64_t renamedAt)
{
    std::string checked;
    if (!CheckedName(name, checked)) {
        error = ERROR_BAD_NAME;
        return false;
    }
    if (!CanWrite(error))
        return false;
    // The new name is shown and, like every name the program had, found by a search.
    CSqliteTransaction transaction(*m_db);
    if (!transaction.Began()) {
        error = DatabaseError(*m_db);
        return false;
    }
    if (!UpdateProgram(*m_db, "UPDATE program SET user_name = ? WHERE id = ?", id, 0, &checked, error))
        return false;
    // When, so that of a rename here and one in another Collection merged in, the later wins.
    CSqliteQuery when(*m_db, "UPDATE program SET renamed_at = ? WHERE id = ?");
    if (!when.Bind(1, renamedAt == 0 ? NowSeconds() : renamedAt).Bind(2, id).Run()) {
        error = DatabaseError(*m_db);
        return false;
    }
    if (!AddProgramName(*m_db, id, checked) || !NoteShownName(*m_db, id) || !transaction.Commit()) {
        error = DatabaseError(*m_db);
        return false;
    }
    return true;
}
