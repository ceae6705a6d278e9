#include "backup_writer.h"

#include "backup_file_id.h"
#include "sqlite_handles.h"
#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>

#include <fstream>
#include <vector>

namespace kavrin::phone_files {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHomeDomain = "HomeDomain";
// 2026-12-01 10:30 UTC.
constexpr double kBackupDate = 817813800.0;
constexpr std::uint32_t kFileMode = 0100644;
constexpr std::uint32_t kFolderMode = 040755;

struct Listed {
    std::string domain;
    std::string relativePath;
    std::uint64_t size { 0 };
    bool folder { false };
    fs::path source; // empty for a file that is listed and not stored
};

bool writeList(const weeapp::sys::Dictionary& entries, const fs::path& file)
{
    return weeapp::sys::writePropertyListAtomically(*weeapp::sys::Value::dictionary(entries), file.string(), weeapp::sys::PropertyListFormat::Xml);
}

std::vector<Listed> homeFiles(const fs::path& phoneRoot)
{
    std::vector<Listed> listed;
    const fs::path home = phoneRoot / "private/var/mobile";
    std::error_code error;
    for (fs::recursive_directory_iterator entry(home, error), end; !error && entry != end; entry.increment(error)) {
        const std::string relative = entry->path().lexically_relative(home).string();
        if (entry->is_directory())
            listed.push_back({ kHomeDomain, relative, 0, true, {} });
        else if (entry->is_regular_file() && !relative.ends_with("-shm"))
            listed.push_back({ kHomeDomain, relative, entry->file_size(), false, entry->path() });
    }
    return listed;
}

Listed otherFile(std::size_t number)
{
    return { "AppDomain-org.example.app" + std::to_string(number % 97), "Library/Caches/item-" + std::to_string(number), 1024, false, {} };
}

bool storeFile(const Listed& file, const fs::path& target)
{
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    return !error && fs::copy_file(file.source, target, error);
}

Result<void> writeDatabaseIndex(const fs::path& backup, const std::vector<Listed>& home, const BackupOptions& options)
{
    SqliteConnection connection = openSqlite((backup / "Manifest.db").c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!connection)
        return Error { "cannot make " + (backup / "Manifest.db").string() };
    sqlite3* database = connection.get();
    if (options.logHoldsFiles)
        sqlite3_db_config(database, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    const std::string schema = std::string(options.indexInLogMode ? "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;" : "")
        +
        "CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, flags INTEGER, file BLOB);"
        "CREATE INDEX FilesDomainIdx ON Files(domain);"
        "CREATE INDEX FilesRelativePathIdx ON Files(relativePath);"
        "CREATE INDEX FilesFlagsIdx ON Files(flags);"
        "CREATE TABLE Properties (key TEXT PRIMARY KEY, value BLOB);"
        "BEGIN;";
    bool done = sqlite3_exec(database, schema.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    SqliteStatement insert = prepareSqlite(database, "INSERT INTO Files VALUES (?, ?, ?, ?, ?)");
    const std::string otherRecord = fileRecordArchive("Library/Caches/item", 1024, kFileMode);
    const auto add = [&](const Listed& file, const std::string& record) {
        const std::string id = backupFileId(file.domain, file.relativePath);
        sqlite3_bind_text(insert.get(), 1, id.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert.get(), 2, file.domain.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert.get(), 3, file.relativePath.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert.get(), 4, file.folder ? 2 : 1);
        sqlite3_bind_blob(insert.get(), 5, record.data(), static_cast<int>(record.size()), SQLITE_TRANSIENT);
        done = insert && sqlite3_step(insert.get()) == SQLITE_DONE && done;
        sqlite3_reset(insert.get());
    };
    for (std::size_t i = 0; i < options.otherFiles; ++i)
        add(otherFile(i), otherRecord);
    // With the phone's rows in the log, the other rows are written into the database file first.
    if (options.logHoldsFiles)
        done = sqlite3_exec(database, "COMMIT; PRAGMA wal_checkpoint(TRUNCATE); BEGIN;", nullptr, nullptr, nullptr) == SQLITE_OK && done;
    for (const Listed& file : home)
        add(file, fileRecordArchive(file.relativePath, file.size, file.folder ? kFolderMode : kFileMode));
    done = sqlite3_exec(database, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK && done;
    if (!done)
        return Error { std::string("cannot write the backup's index: ") + sqlite3_errmsg(database) };
    for (const Listed& file : home) {
        const std::string id = backupFileId(file.domain, file.relativePath);
        if (!file.folder && !storeFile(file, backup / id.substr(0, 2) / id))
            return Error { "cannot store " + file.relativePath };
    }
    return {};
}

void putNumber(std::string& out, std::uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

void putString(std::string& out, const std::string& text)
{
    if (text.empty()) {
        putNumber(out, 0xFFFF, 2);
        return;
    }
    putNumber(out, text.size(), 2);
    out += text;
}

void putRecord(std::string& out, const Listed& file)
{
    putString(out, file.domain);
    putString(out, file.relativePath);
    for (int i = 0; i < 3; ++i) // link target, data hash, encryption key
        putString(out, "");
    putNumber(out, file.folder ? kFolderMode : kFileMode, 2);
    putNumber(out, 1000, 8); // inode
    putNumber(out, 501, 4);  // user
    putNumber(out, 501, 4);  // group
    for (int i = 0; i < 3; ++i)
        putNumber(out, 1764585000, 4);
    putNumber(out, file.size, 8);
    putNumber(out, 0, 1); // protection class
    // Files carry one extended attribute, a name and a value, as many do in real indices.
    putNumber(out, file.folder ? 0 : 1, 1);
    if (!file.folder) {
        putString(out, "user.origin");
        putString(out, "backup");
    }
}

Result<void> writeMbdbIndex(const fs::path& backup, const std::vector<Listed>& home, const BackupOptions& options)
{
    std::ofstream out(backup / "Manifest.mbdb", std::ios::binary);
    out.write("mbdb\x05\x00", 6);
    std::string record;
    for (std::size_t i = 0; i < options.otherFiles; ++i) {
        record.clear();
        putRecord(record, otherFile(i));
        out << record;
    }
    for (const Listed& file : home) {
        record.clear();
        putRecord(record, file);
        out << record;
        if (!file.folder && !storeFile(file, backup / backupFileId(file.domain, file.relativePath)))
            return Error { "cannot store " + file.relativePath };
    }
    out.close();
    if (!out)
        return Error { "cannot write " + (backup / "Manifest.mbdb").string() };
    return {};
}

}

std::string fileRecordArchive(const std::string& relativePath, std::uint64_t size, std::uint32_t mode)
{
    using weeapp::sys::Value;
    const weeapp::sys::ValuePtr record = Value::dictionary({
        { "$class", Value::uid(3) },
        { "Size", Value::integer(static_cast<std::int64_t>(size)) },
        { "Mode", Value::integer(mode) },
        { "LastModified", Value::integer(1764585000) },
        { "Birth", Value::integer(1764585000) },
        { "LastStatusChange", Value::integer(1764585000) },
        { "UserID", Value::integer(501) },
        { "GroupID", Value::integer(501) },
        { "InodeNumber", Value::integer(1000) },
        { "Flags", Value::integer(0) },
        { "ProtectionClass", Value::integer(3) },
        { "RelativePath", Value::uid(2) },
    });
    const weeapp::sys::ValuePtr archive = Value::dictionary({
        { "$version", Value::integer(100000) },
        { "$archiver", Value::string("NSKeyedArchiver") },
        { "$top", Value::dictionary({ { "root", Value::uid(1) } }) },
        { "$objects", Value::array({ Value::string("$null"), record, Value::string(relativePath), Value::dictionary({ { "$classname", Value::string("FileRecord") }, { "$classes", Value::array({ Value::string("FileRecord"), Value::string("NSObject") }) } }) }) },
    });
    return weeapp::sys::serializePropertyList(*archive, weeapp::sys::PropertyListFormat::Binary).value_or("");
}

Result<void> writeBackup(const fs::path& phoneRoot, const fs::path& backup, const BackupOptions& options)
{
    std::error_code error;
    if (!fs::create_directory(backup, error))
        return Error { "cannot make " + backup.string() };
    const std::vector<Listed> home = homeFiles(phoneRoot);
    Result<void> index = options.format == BackupIndexFormat::Database ? writeDatabaseIndex(backup, home, options) : writeMbdbIndex(backup, home, options);
    if (!index)
        return index;

    using weeapp::sys::Value;
    const bool lists = writeList({
                                     { "IsEncrypted", Value::boolean(options.encrypted) },
                                     { "Version", Value::string(options.format == BackupIndexFormat::Database ? "10.0" : "9.1") },
                                     { "Date", Value::date(kBackupDate) },
                                     { "Lockdown", Value::dictionary({ { "DeviceName", Value::string(options.deviceName) }, { "ProductVersion", Value::string("12.5") } }) },
                                 },
                           backup / "Manifest.plist")
        && writeList({ { "SnapshotState", Value::string(options.finished ? "finished" : "uploading") }, { "IsFullBackup", Value::boolean(false) } }, backup / "Status.plist") && writeList({ { "Device Name", Value::string(options.deviceName) }, { "Product Version", Value::string("12.5") }, { "Last Backup Date", Value::date(kBackupDate) } }, backup / "Info.plist");
    if (!lists)
        return Error { "cannot write the backup's property lists in " + backup.string() };
    return {};
}

}
