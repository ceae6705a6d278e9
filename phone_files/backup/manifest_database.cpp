#include "manifest_database.h"

#include "file_record.h"
#include <weeapp/sys/files/file_uri.h>

#include <fstream>

namespace kavrin::phone_files {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDatabaseHeader { "SQLite format 3\0", 16 };

bool hasLog(const fs::path& database)
{
    std::error_code ignored;
    const fs::path log = database.string() + "-wal";
    return fs::is_regular_file(log, ignored) && fs::file_size(log, ignored) > 0;
}

}

bool ManifestDatabase::looksLikeDatabase(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string header(kDatabaseHeader.size(), '\0');
    in.read(header.data(), static_cast<std::streamsize>(header.size()));
    return in && header == kDatabaseHeader;
}

Result<std::unique_ptr<ManifestDatabase>> ManifestDatabase::open(const fs::path& file)
{
    std::unique_ptr<ManifestDatabase> index(new ManifestDatabase());
    std::string name;
    int flags = SQLITE_OPEN_URI;
    if (hasLog(file)) {
        index->m_privateCopy = OwnedFolder::make((fs::temp_directory_path() / "kavrin-index-XXXXXX").string());
        if (!index->m_privateCopy)
            return Error { "cannot make a folder for a copy of the backup's index" };
        const fs::path copy = index->m_privateCopy.path() / "Manifest.db";
        std::error_code error;
        fs::copy_file(file, copy, error);
        if (!error)
            fs::copy_file(file.string() + "-wal", copy.string() + "-wal", error);
        if (error)
            return Error { "cannot copy the backup's index: " + error.message() };
        name = weeapp::sys::fileUri(fs::absolute(copy));
        flags |= SQLITE_OPEN_READWRITE;
    } else {
        name = weeapp::sys::fileUri(fs::absolute(file), "immutable=1");
        flags |= SQLITE_OPEN_READONLY;
    }
    index->m_connection = openSqlite(name.c_str(), flags);
    if (index->m_connection)
        index->m_lookup = prepareSqlite(index->m_connection.get(), kLookup);
    if (!index->m_lookup)
        return Error { "cannot read the backup's index " + file.string() + ": "
            + (index->m_connection ? sqlite3_errmsg(index->m_connection.get()) : "not a database") };
    return index;
}

ManifestDatabase::~ManifestDatabase() = default;

Result<std::map<std::string, BackupEntry>> ManifestDatabase::findFiles(std::string_view domain, std::span<const std::string> relativePaths)
{
    std::map<std::string, BackupEntry> found;
    sqlite3_stmt* lookup = m_lookup.get();
    for (const std::string& path : relativePaths) {
        sqlite3_reset(lookup);
        sqlite3_bind_text(lookup, 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
        sqlite3_bind_text(lookup, 2, domain.data(), static_cast<int>(domain.size()), SQLITE_STATIC);
        const int status = sqlite3_step(lookup);
        if (status == SQLITE_DONE)
            continue;
        if (status != SQLITE_ROW)
            return Error { std::string("cannot read the backup's index: ") + sqlite3_errmsg(m_connection.get()) };
        const auto* id = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0));
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(lookup, 1));
        const std::optional<FileRecord> record = decodeFileRecord({ blob ? blob : "", static_cast<std::size_t>(sqlite3_column_bytes(lookup, 1)) });
        if (!id || !record)
            return Error { "the backup's index holds an unreadable record of " + std::string(domain) + "/" + path };
        found[path] = { id, record->size };
    }
    return found;
}

}
