#include "SqliteDb.h"

#include "NameTokenizer.h"

#include <sqlite3.h>

CSqliteStatement::~CSqliteStatement()
{
    sqlite3_finalize(m_statement);
}

std::unique_ptr<CSqliteDb> CSqliteDb::OpenWith(const std::string& path, int flags, int& code, std::string& error)
{
    sqlite3* db = nullptr;
    // A connection is used by one thread at a time, so SQLite need not lock around each call.
    code = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        error = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 0);
    if (!RegisterNameTokenizer(db)) {
        code = SQLITE_ERROR;
        error = "SQLite's full-text search (FTS5) is missing";
        sqlite3_close(db);
        return nullptr;
    }
    // Nothing is written back at close until the file is known to be ours.
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    return std::unique_ptr<CSqliteDb>(new CSqliteDb(db, path, (flags & SQLITE_OPEN_READONLY) != 0));
}

std::unique_ptr<CSqliteDb> CSqliteDb::Open(const std::string& path, int& code, std::string& error)
{
    return OpenWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, code, error);
}

std::unique_ptr<CSqliteDb> CSqliteDb::OpenReadOnly(const std::string& path, int& code, std::string& error)
{
    return OpenWith(path, SQLITE_OPEN_READONLY, code, error);
}

void CSqliteDb::SetCheckpointOnClose(bool allowed)
{
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, allowed ? 0 : 1, nullptr);
}

std::unique_ptr<CSqliteDb> CSqliteDb::OpenExisting(const std::string& path, bool readOnly, int& code,
                                                   std::string& error)
{
    return OpenWith(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, code, error);
}

CSqliteDb::~CSqliteDb()
{
    m_statements.clear();   // every statement is finalized before the connection closes
    sqlite3_close(m_db);
}

namespace {
void Visit(sqlite3_context* context, int, sqlite3_value** arguments)
{
    const auto& visitor = *static_cast<const CSqliteDb::Visitor*>(sqlite3_user_data(context));
    if (visitor)
        visitor(sqlite3_value_int64(arguments[0]), static_cast<const unsigned char*>(sqlite3_value_blob(arguments[1])),
                static_cast<std::size_t>(sqlite3_value_bytes(arguments[1])));
    sqlite3_result_null(context);
}
}  // namespace

bool CSqliteDb::SetVisitor(Visitor visitor)
{
    m_visitor = std::move(visitor);
    if (m_visitDefined || !m_visitor)
        return true;
    // Direct only: no schema, trigger or view of a file can call it.
    m_visitDefined = sqlite3_create_function_v2(m_db, "visit", 2, SQLITE_UTF8 | SQLITE_DIRECTONLY, &m_visitor, Visit,
                                                nullptr, nullptr, nullptr)
                     == SQLITE_OK;
    return m_visitDefined;
}

bool CSqliteDb::InAutocommit() const
{
    return sqlite3_get_autocommit(m_db) != 0;
}

bool CSqliteDb::Exec(const char* sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite3_stmt* CSqliteDb::Statement(const char* sql)
{
    const auto found = m_statements.find(std::string_view(sql));
    if (found != m_statements.end())
        return found->second->Handle();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    m_statements.emplace(sql, std::make_unique<CSqliteStatement>(statement));
    return statement;
}

std::string CSqliteDb::ErrorText() const
{
    return sqlite3_errmsg(m_db);
}

int CSqliteDb::ErrorCode() const
{
    return sqlite3_errcode(m_db) & 0xFF;
}

CSqliteQuery::CSqliteQuery(CSqliteDb& db, const char* sql) : m_db(db), m_statement(db.Statement(sql))
{
    m_failed = m_statement == nullptr;
}

CSqliteQuery::~CSqliteQuery()
{
    if (m_statement != nullptr) {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
}

CSqliteQuery& CSqliteQuery::Bind(int index, std::int64_t value)
{
    if (m_statement != nullptr && sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK)
        m_failed = true;
    return *this;
}

CSqliteQuery& CSqliteQuery::BindText(int index, std::string_view text)
{
    if (m_statement != nullptr
        && sqlite3_bind_text64(m_statement, index, text.data() != nullptr ? text.data() : "", text.size(),
                               SQLITE_STATIC, SQLITE_UTF8)
               != SQLITE_OK)
        m_failed = true;
    return *this;
}

CSqliteQuery& CSqliteQuery::BindBlob(int index, const void* bytes, std::size_t size)
{
    // A blob of no bytes is still a blob, not NULL.
    static const unsigned char none = 0;
    if (m_statement != nullptr
        && sqlite3_bind_blob64(m_statement, index, size == 0 ? &none : bytes, size, SQLITE_STATIC)
               != SQLITE_OK)
        m_failed = true;
    return *this;
}

CSqliteQuery& CSqliteQuery::BindNull(int index)
{
    if (m_statement != nullptr && sqlite3_bind_null(m_statement, index) != SQLITE_OK)
        m_failed = true;
    return *this;
}

bool CSqliteQuery::Next()
{
    if (m_failed)
        return false;
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code != SQLITE_DONE)
        m_failed = true;
    return false;
}

bool CSqliteQuery::Run()
{
    while (Next()) {
    }
    return !m_failed;
}

std::int64_t CSqliteQuery::Int(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::string CSqliteQuery::Text(int column) const
{
    const unsigned char* text = sqlite3_column_text(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), size);
}

const unsigned char* CSqliteQuery::Blob(int column) const
{
    return static_cast<const unsigned char*>(sqlite3_column_blob(m_statement, column));
}

std::size_t CSqliteQuery::Size(int column) const
{
    return static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column));
}

bool CSqliteQuery::IsNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

CSqliteTransaction::CSqliteTransaction(CSqliteDb& db) : m_db(db)
{
    m_nested = sqlite3_get_autocommit(m_db.Handle()) == 0;
    if (!m_nested)
        m_open = m_db.Exec("BEGIN IMMEDIATE");
}

CSqliteTransaction::~CSqliteTransaction()
{
    if (m_open)
        m_db.Exec("ROLLBACK");
}

bool CSqliteTransaction::Commit()
{
    if (m_nested)
        return true;
    if (!m_open)
        return false;
    if (!m_db.Exec("COMMIT")) {
        // A commit that failed (a full disk) leaves the transaction open: it is rolled back.
        return false;
    }
    m_open = false;
    return true;
}

CSqliteReadTransaction::CSqliteReadTransaction(CSqliteDb& db) : m_db(db)
{
    m_nested = !m_db.InAutocommit();
    m_open = !m_nested && m_db.Exec("BEGIN");
}

CSqliteReadTransaction::~CSqliteReadTransaction()
{
    if (m_open)
        m_db.Exec("COMMIT");
}

CSqliteSavepoint::CSqliteSavepoint(CSqliteDb& db) : m_db(db)
{
    m_open = m_db.Exec("SAVEPOINT part");
}

CSqliteSavepoint::~CSqliteSavepoint()
{
    if (m_open)
        m_db.Exec("ROLLBACK TO part; RELEASE part");
}

bool CSqliteSavepoint::Release()
{
    if (!m_open || !m_db.Exec("RELEASE part"))
        return false;
    m_open = false;
    return true;
}
