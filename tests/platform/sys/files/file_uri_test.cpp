#include "support/temporary_folder.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/files/file_uri.h>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstdlib>

using weeapp::sys::fileUri;

// Every byte that could end the path or start an escape is escaped, and only those; the query
// follows a '?' only when there is one.
TEST(FileUri, EscapesEveryByteThatCouldEndThePath)
{
    EXPECT_EQ(fileUri("/var/mobile/AddressBook.sqlitedb"), "file:/var/mobile/AddressBook.sqlitedb");
    EXPECT_EQ(fileUri("/a b/c?d#e%f&g=h;i+j", "immutable=1"), "file:/a%20b/c%3Fd%23e%25f%26g%3Dh%3Bi%2Bj?immutable=1");
    EXPECT_EQ(fileUri("Zoë/A-z_0.9~"), "file:Zo%C3%AB/A-z_0.9~");
    EXPECT_EQ(fileUri(std::string("/\x01\x7f\xff:", 5)), "file:/%01%7F%FF%3A");
    EXPECT_EQ(fileUri("relative", ""), "file:relative");
}

// SQLite, which is not ours, opens through the URI the database at a path whose folder's name
// holds every byte a URI gives a meaning to, and reads it read-only as asked.
TEST(FileUri, SqliteOpensTheFileItNames)
{
    kavrin::testing::TemporaryFolder folder;
    const std::filesystem::path database = folder.path() / "a ?#%&=;+ zoë" / "db";
    std::filesystem::create_directories(database.parent_path());
    {
        weeapp::SqliteConnection made;
        ASSERT_EQ(sqlite3_open(database.c_str(), made.out()), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(made.get(), "CREATE TABLE t(x); INSERT INTO t VALUES (42);", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    weeapp::SqliteConnection opened;
    ASSERT_EQ(sqlite3_open_v2(fileUri(database, "mode=ro").c_str(), opened.out(), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr), SQLITE_OK);
    int value = 0;
    const auto read = [](void* into, int, char** columns, char**) {
        *static_cast<int*>(into) = std::atoi(columns[0]);
        return 0;
    };
    ASSERT_EQ(sqlite3_exec(opened.get(), "SELECT x FROM t", read, &value, nullptr), SQLITE_OK);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(sqlite3_db_readonly(opened.get(), "main"), 1);
}
