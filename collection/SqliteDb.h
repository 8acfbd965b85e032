#pragma once
// A small wrapper over SQLite's C API: one class owns the connection, one owns a prepared
// statement, a query is one use of a statement, and a transaction rolls back unless it was
// committed. Nothing throws; a failure is a false return and the connection's error text.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized with its owner.
class CSqliteStatement
{
public:
    explicit CSqliteStatement(sqlite3_stmt* statement) : m_statement(statement) {}
    ~CSqliteStatement();
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;

    sqlite3_stmt* Handle() const { return m_statement; }

private:
    sqlite3_stmt* m_statement;
};

// One connection. Statements are prepared once per connection and kept.
class CSqliteDb
{
public:
    // Opens (or creates) the database file. Null with `code` and `error` set when SQLite can't.
    static std::unique_ptr<CSqliteDb> Open(const std::string& path, int& code, std::string& error);
    // Opens an existing file for reading only: nothing of it, nor of its journal, is changed.
    static std::unique_ptr<CSqliteDb> OpenReadOnly(const std::string& path, int& code, std::string& error);
    // With SQLite's own open flags (SQLITE_OPEN_...); `path` may be a URI with SQLITE_OPEN_URI.
    static std::unique_ptr<CSqliteDb> OpenWith(const std::string& path, int flags, int& code, std::string& error);
    // Opens a database file that must exist already, for reading only or for reading and
    // writing; nothing is made when it is missing. Like OpenWith, nothing is written back at
    // close until SetCheckpointOnClose(true).
    static std::unique_ptr<CSqliteDb> OpenExisting(const std::string& path, bool readOnly, int& code,
                                                   std::string& error);
    ~CSqliteDb();
    CSqliteDb(const CSqliteDb&) = delete;
    CSqliteDb& operator=(const CSqliteDb&) = delete;

    sqlite3* Handle() const { return m_db; }
    const std::string& Path() const { return m_path; }

    // Runs one or more statements that return nothing of interest.
    bool Exec(const char* sql);
    // The cached statement for `sql`, made on first use; null when it does not prepare.
    sqlite3_stmt* Statement(const char* sql);

    // Whether closing the connection may write the write-ahead log back into the file. Off
    // until a file is known to be a Collection: another program's file is left as it was.
    void SetCheckpointOnClose(bool allowed);
    bool ReadOnly() const { return m_readOnly; }
    // Whether no transaction is open: each statement is one of its own.
    bool InAutocommit() const;

    // The last error of the connection, readable, and its primary result code.
    std::string ErrorText() const;
    int ErrorCode() const;

    // While set, visit(number, text) is a function of SQL on this connection that hands its
    // two arguments to `visitor` and gives NULL: "SELECT count(visit(id, name)) FROM ..." then
    // looks at every row within SQLite, several times quicker than stepping through millions
    // of rows one at a time. Cleared with null; false when SQLite refused the function.
    using Visitor = std::function<void(std::int64_t number, const unsigned char* text, std::size_t size)>;
    bool SetVisitor(Visitor visitor);

private:
    CSqliteDb(sqlite3* db, const std::string& path, bool readOnly) : m_db(db), m_path(path), m_readOnly(readOnly) {}

    sqlite3* m_db;
    std::string m_path;
    bool m_readOnly = false;
    std::map<std::string, std::unique_ptr<CSqliteStatement>, std::less<>> m_statements;
    Visitor m_visitor;
    bool m_visitDefined = false;   // made once: defining it again would expire the statements
};

// One use of a cached statement: bind, step, read columns. The statement is reset when the
// query ends, so that no read stays open on the database.
class CSqliteQuery
{
public:
    CSqliteQuery(CSqliteDb& db, const char* sql);
    ~CSqliteQuery();
    CSqliteQuery(const CSqliteQuery&) = delete;
    CSqliteQuery& operator=(const CSqliteQuery&) = delete;

    // Parameters count from 1. Texts and blobs are not copied: they must stay as they are
    // until the query ends.
    CSqliteQuery& Bind(int index, std::int64_t value);
    CSqliteQuery& BindText(int index, std::string_view text);
    CSqliteQuery& BindBlob(int index, const void* bytes, std::size_t size);
    CSqliteQuery& BindNull(int index);

    // Steps to the next row: true while there is one. False at the end or on an error.
    bool Next();
    // Steps the statement to its end; true when it ran without error.
    bool Run();
    bool Failed() const { return m_failed; }

    // Columns count from 0.
    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    const unsigned char* Blob(int column) const;
    std::size_t Size(int column) const;
    bool IsNull(int column) const;

private:
    CSqliteDb& m_db;
    sqlite3_stmt* m_statement;
    bool m_failed = false;
};

// A write transaction (BEGIN IMMEDIATE: the write lock is taken at once, waiting up to the
// busy timeout, so two writers never deadlock). Rolled back unless committed. Inside another
// transaction it is part of that one: it begins and commits nothing of its own.
class CSqliteTransaction
{
public:
    explicit CSqliteTransaction(CSqliteDb& db);
    ~CSqliteTransaction();
    CSqliteTransaction(const CSqliteTransaction&) = delete;
    CSqliteTransaction& operator=(const CSqliteTransaction&) = delete;

    bool Began() const { return m_open || m_nested; }
    bool Commit();

private:
    CSqliteDb& m_db;
    bool m_open = false;
    bool m_nested = false;
};

// A read transaction, so that several reads see the database as one moment: begun where the
// connection has none open (and ended with the object), or the open one.
class CSqliteReadTransaction
{
public:
    explicit CSqliteReadTransaction(CSqliteDb& db);
    ~CSqliteReadTransaction();
    CSqliteReadTransaction(const CSqliteReadTransaction&) = delete;
    CSqliteReadTransaction& operator=(const CSqliteReadTransaction&) = delete;

    bool Began() const { return m_open || m_nested; }

private:
    CSqliteDb& m_db;
    bool m_open = false;
    bool m_nested = false;
};

// A savepoint inside the open transaction: what was done since it began is rolled back
// unless it was released.
class CSqliteSavepoint
{
public:
    explicit CSqliteSavepoint(CSqliteDb& db);
    ~CSqliteSavepoint();
    CSqliteSavepoint(const CSqliteSavepoint&) = delete;
    CSqliteSavepoint& operator=(const CSqliteSavepoint&) = delete;

    bool Began() const { return m_open; }
    bool Release();

private:
    CSqliteDb& m_db;
    bool m_open = false;
};
