#include "sources/address_book.h"

#include "controller/kavrin_controller.h"
#include "resources/bundle_resources.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/files/file_uri.h>
#include <weeapp/sys/files/phone_paths.h>
#include <weeapp/sys/files/phone_root.h>
#include <weeapp/sys/format.h>
#include <weeapp/sys/utf8.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace kavrin {

namespace {

// The bytes that stand in for a database's file, by its phone path (setAddressBookBytes).
struct DatabaseBytes {
    std::string_view phonePath;
    std::span<const std::uint8_t> bytes;
    bool set { false };
};
std::array<DatabaseBytes, 2> databaseBytes { { { weeapp::sys::kAddressBookPath, {} }, { weeapp::sys::kAddressBookImagesPath, {} } } };

DatabaseBytes* databaseBytesFor(std::string_view phonePath)
{
    for (DatabaseBytes& entry : databaseBytes) {
        if (entry.phonePath == phonePath)
            return &entry;
    }
    return nullptr;
}

// A read-only in-memory database on a copy of the bytes. The copy is SQLite's own, freed with
// the connection; a write-ahead-log header is turned to the rollback one there, as SQLite opens
// no log for a database in memory. Like an empty file, empty bytes give an empty database: the
// copy is a byte longer than the bytes, as SQLite allocates nothing for a size of 0.
weeapp::SqliteConnection openFromBytes(std::span<const std::uint8_t> bytes)
{
    weeapp::SqliteConnection connection;
    const bool isOpen = sqlite3_open_v2(":memory:", connection.out(), SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    auto* copy = isOpen ? static_cast<unsigned char*>(sqlite3_malloc64(bytes.size() + 1)) : nullptr;
    if (!copy)
        return {};
    std::copy(bytes.begin(), bytes.end(), copy);
    if (bytes.size() >= 20 && copy[19] == 2)
        copy[18] = copy[19] = 1;
    const auto size = static_cast<sqlite3_int64>(bytes.size());
    if (sqlite3_deserialize(connection.get(), "main", copy, size, size, SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY)
        != SQLITE_OK)
        return {};
    return connection;
}

enum class Opening { Refused,
    ReadOnly,
    ReadOnlyLog,
    Immutable };

// Whether another process holds a lock on the database that keeps readers out (a pending or
// exclusive lock on the bytes SQLite locks in every database file), asked without taking a lock.
bool lockedAgainstReaders(int fd)
{
    constexpr off_t kPendingByte = 0x40000000;
    constexpr off_t kSharedFirst = kPendingByte + 2;
    constexpr off_t kSharedSize = 510;
    for (const auto& [start, length] : { std::pair { kPendingByte, off_t { 1 } }, std::pair { kSharedFirst, kSharedSize } }) {
        struct flock probe { };
        probe.l_type = F_RDLCK;
        probe.l_whence = SEEK_SET;
        probe.l_start = start;
        probe.l_len = length;
        if (::fcntl(fd, F_GETLK, &probe) != 0 || probe.l_type != F_UNLCK)
            return true;
    }
    return false;
}

// How the database at the path can be read with nothing written beside it that was not there:
//  - not at all unless it is a regular file (opening a FIFO or a device would wait for a
//    writer), or, in write-ahead-log mode, while another process holds it locked against
//    readers (an immutable open takes no locks, and an ordinary one would wait for the log). A
//    database with a rollback journal needs no look at its locks: its read-only connection,
//    which waits for nothing, fails at once on the same locks;
//  - as immutable when it is in write-ahead-log mode (byte 19 of its header, the file format a
//    reader needs, is 2; SQLite goes by that byte alone, whatever byte 18 says), its "-wal" file
//    is missing or empty, so the database file alone holds every committed change, and the
//    "-wal" or "-shm" file is missing, which an ordinary read-only connection would create;
//  - read-only otherwise. A "-wal" file with content is then read with the changes committed to
//    it; where its "-shm" file is missing SQLite creates it, the one file the widget may make.
Opening openingFor(const std::string& path)
{
    weeapp::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file)
        return Opening::Refused;
    const int fd = file.get();
    struct stat status { };
    std::array<char, 20> header {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    const bool complete = regular && ::pread(fd, header.data(), header.size(), 0) == static_cast<ssize_t>(header.size());
    const bool wal = complete && std::string_view(header.data(), 16) == std::string_view("SQLite format 3\0", 16) && header[19] == 2;
    const bool locked = wal && lockedAgainstReaders(fd);
    if (!regular || locked)
        return Opening::Refused;
    if (!wal)
        return Opening::ReadOnly;
    std::error_code error;
    const std::filesystem::file_status walStatus = std::filesystem::status(path + "-wal", error);
    const bool walPresent = std::filesystem::exists(walStatus);
    const bool walHasContent = walPresent && (!std::filesystem::is_regular_file(walStatus) || std::filesystem::file_size(path + "-wal", error) != 0);
    const bool shmPresent = std::filesystem::exists(path + "-shm", error);
    if (!walHasContent && !(walPresent && shmPresent))
        return Opening::Immutable;
    return Opening::ReadOnlyLog;
}

// A reader of a write-ahead log waits for no writer, but it may meet the log's index in the
// middle of a writer's commit or checkpoint and must then try again; that lasts microseconds. A
// database that another process holds locked against readers was refused before the open.
constexpr int kLogRetryMilliseconds = 50;

// Read-only, so that a missing database file is not created and nothing is ever written. A
// database locked against readers fails at once and the caller falls back; only the brief waits
// of a write-ahead log are waited for.
weeapp::SqliteConnection openReadOnly(const char* phonePath)
{
    if (const DatabaseBytes* inMemory = databaseBytesFor(phonePath); inMemory && inMemory->set)
        return openFromBytes(inMemory->bytes);
    const std::string path = weeapp::sys::resolvePhonePath(phonePath);
    const Opening opening = openingFor(path);
    if (opening == Opening::Refused)
        return {};
    weeapp::SqliteConnection connection;
    const int status = opening == Opening::Immutable
        ? sqlite3_open_v2(weeapp::sys::fileUri(path, "mode=ro&immutable=1").c_str(), connection.out(), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr)
        : sqlite3_open_v2(path.c_str(), connection.out(), SQLITE_OPEN_READONLY, nullptr);
    if (status != SQLITE_OK)
        return {};
    if (opening == Opening::ReadOnlyLog)
        sqlite3_busy_timeout(connection.get(), kLogRetryMilliseconds);
    return connection;
}

// One query on its own connection: prepares the SQL, hands every row to onRow, and finalises
// and closes on every path, the statement first (a local goes before the parameter that owns the
// connection). A failed open or prepare runs no row.
template<typename OnRow>
void runQuery(weeapp::SqliteConnection connection, const std::string& sql, OnRow onRow)
{
    weeapp::SqliteStatement statement;
    if (connection && sqlite3_prepare_v2(connection.get(), sql.c_str(), -1, statement.out(), nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement.get()) == SQLITE_ROW)
            onRow(statement.get());
    }
}

}

void setAddressBookBytes(std::string_view phonePath, std::span<const std::uint8_t> bytes)
{
    if (DatabaseBytes* entry = databaseBytesFor(phonePath)) {
        entry->bytes = bytes;
        entry->set = true;
    }
}

void clearAddressBookBytes()
{
    for (DatabaseBytes& entry : databaseBytes)
        entry = { entry.phonePath, {}, false };
}

sqlite3* KavrinController::getNewABDBConnection()
{
    return openReadOnly(weeapp::sys::kAddressBookPath).release();
}

sqlite3* KavrinController::getNewDBConnection()
{
    return openReadOnly(weeapp::sys::kAddressBookImagesPath).release();
}

std::string KavrinController::getMailFromDB(std::int32_t recordId)
{
    std::string address;
    const std::string sql = weeapp::sys::stringWithFormat("select value from ABMultiValue WHERE property=4 AND record_id=%i", recordId);
    // The last readable row wins: a row without text, or with bytes that are not UTF-8, is passed
    // over. The text is taken at its full length, so a NUL inside it stays and makes it no
    // address that a URL can hold.
    runQuery(weeapp::SqliteConnection(getNewABDBConnection()), sql, [&address](sqlite3_stmt* statement) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        const int length = sqlite3_column_bytes(statement, 0);
        if (!text)
            return;
        const std::string_view value(text, static_cast<std::size_t>(length));
        if (weeapp::sys::isValidUtf8(value))
            address = std::string(value);
    });
    return address;
}

weeapp::ui::ImagePtr KavrinController::getImageFromDB(std::int32_t recordId)
{
    // The last row wins; its blob is decoded where SQLite holds it.
    bool found = false;
    weeapp::ui::ImagePtr image;
    const std::string sql = weeapp::sys::stringWithFormat("select data from ABThumbnailImage WHERE format=0 AND record_id=%i", recordId);
    runQuery(weeapp::SqliteConnection(getNewDBConnection()), sql, [&found, &image](sqlite3_stmt* statement) {
        const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, 0));
        const int length = sqlite3_column_bytes(statement, 0);
        found = true;
        image = bytes ? weeapp::ui::Image::imageWithData(std::span(bytes, static_cast<std::size_t>(length))) : weeapp::ui::Image::imageWithData({});
    });
    if (found)
        return image;
    return weeapp::ui::Image::imageWithContentsOfFile(kPlaceholderPhotoPath);
}

}
