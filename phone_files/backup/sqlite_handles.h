#pragma once

#include <weeapp/c_handles.h>

#include <sqlite3.h>

namespace kavrin::phone_files {

using weeapp::SqliteConnection;
using weeapp::SqliteStatement;

// A connection on the file as the URI or path says, owned even when the open fails (SQLite
// hands out a connection to close then too); null when it failed.
inline SqliteConnection openSqlite(const char* name, int flags)
{
    SqliteConnection connection;
    const int status = sqlite3_open_v2(name, connection.out(), flags, nullptr);
    if (status != SQLITE_OK)
        connection.reset();
    return connection;
}

inline SqliteStatement prepareSqlite(sqlite3* connection, const char* sql)
{
    SqliteStatement statement;
    sqlite3_prepare_v2(connection, sql, -1, statement.out(), nullptr);
    return statement;
}

}
