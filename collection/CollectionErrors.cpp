#include "CollectionErrors.h"

#include <sqlite3.h>

std::string DatabaseProblem(int code, const std::string& detail)
{
    switch (code & 0xFF) {
    case SQLITE_FULL:
        return "The disk is full: the Collection could not be changed. Make room and try again";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "Another program kept the Collection busy for too long. Try again in a moment";
    case SQLITE_READONLY:
        return "The Collection cannot be changed: its file or folder is read-only";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return "The Collection's file is damaged (" + detail + "). veltrix-cli check tells what is affected";
    case SQLITE_IOERR:
        return "The disk could not be read or written (" + detail + ")";
    case SQLITE_CANTOPEN:
        return "The Collection's file could not be opened (" + detail + ")";
    case SQLITE_NOMEM:
        return "Not enough memory to use the Collection";
    default:
        return "The Collection's database failed: " + detail;
    }
}
