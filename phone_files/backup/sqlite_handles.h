#pragma once

#include <sqlite3.h>

#include <memory>

namespace kavrin::phone_files {

// Owners of what SQLite hands out, for the backup's reader and writer.
struct SqliteCloser {
    void operator()(sqlite3* connection) const { sqlite3_close(connection); }
};
using SqliteConnection = std::unique_ptr<sqlite3, SqliteCloser>;

struct SqliteFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

// A connection on the file as the URI or path says, owned even when the open fails (SQLite
// hands out a connection to close then too); null when it failed.
inline SqliteConnection openSqlite(const char* name, int flags)
{
    sqlite3* opened = nullptr;
    const int status = sqlite3_open_v2(name, &opened, flags, nullptr);
    SqliteConnection connection(opened);
    if (status != SQLITE_OK)
        connection.reset();
    return connection;
}

inline SqliteStatement prepareSqlite(sqlite3* connection, const char* sql)
{
    sqlite3_stmt* prepared = nullptr;
    sqlite3_prepare_v2(connection, sql, -1, &prepared, nullptr);
    return SqliteStatement(prepared);
}

}
