#include "backup/backup_description.h"
#include "backup/backup_file_id.h"
#include "backup/backup_folder.h"
#include "backup/backup_writer.h"
#include "backup/file_record.h"
#include "backup/manifest_database.h"
#include "backup/manifest_mbdb.h"
#include "phone_writer.h"
#include "support/temporary_folder.h"
#include <weeapp/sys/files/phone_paths.h>
#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

namespace kavrin::phone_files {
namespace {

using testing::TemporaryFolder;

std::string readAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// A backup of a phone with the favorites list and one database, in the given format.
std::filesystem::path writeSmallBackup(const TemporaryFolder& folder, BackupIndexFormat format, std::size_t otherFiles = 3)
{
    const PhoneWriter phone(folder.path() / "phone");
    EXPECT_TRUE(phone.writeFavorites({ { "Anna", 101, "_$!<Mobile>!$_", "+49 170 123 4567" } }));
    folder.write("phone/private/var/mobile/Library/AddressBook/AddressBook.sqlitedb", "not really a database");
    const std::filesystem::path backup = folder.path() / "backup";
    const Result<void> written = writeBackup(phone.root(), backup, { .format = format, .otherFiles = otherFiles });
    EXPECT_TRUE(written.ok()) << written.error();
    return backup;
}

// What the backup's own lists say of it: the device and date from Info.plist, else from
// Manifest.plist; encrypted and finished only when the lists say so; a name that is no text and
// a date that is no date count as missing.
TEST(BackupReader, DescribesTheBackupFromItsOwnLists)
{
    using weeapp::sys::Value;
    TemporaryFolder folder;
    const auto write = [&](const char* name, weeapp::sys::Dictionary entries, weeapp::sys::PropertyListFormat format = weeapp::sys::PropertyListFormat::Xml) {
        ASSERT_TRUE(weeapp::sys::writePropertyListAtomically(*Value::dictionary(std::move(entries)), (folder.path() / name).string(), format));
    };
    const BackupFolder backup(folder.path());
    write("Info.plist", { { "Device Name", Value::string("Anna's phone") }, { "Last Backup Date", Value::date(818606107.0) } });
    write("Manifest.plist", { { "IsEncrypted", Value::boolean(false) }, { "Date", Value::date(757479845.0) }, { "Lockdown", Value::dictionary({ { "DeviceName", Value::string("from the manifest") } }) } });
    write("Status.plist", { { "SnapshotState", Value::string("finished") } });
    BackupDescription described = describeBackup(backup);
    EXPECT_TRUE(described.hasManifest);
    EXPECT_FALSE(described.encrypted);
    EXPECT_TRUE(described.finished);
    EXPECT_EQ(described.deviceName, "Anna's phone");
    EXPECT_EQ(described.date, "2026-12-10 14:35");

    write("Info.plist", { { "Device Name", Value::integer(7) }, { "Last Backup Date", Value::date(NAN) } }, weeapp::sys::PropertyListFormat::Binary);
    write("Manifest.plist", { { "IsEncrypted", Value::boolean(true) }, { "Date", Value::date(757479845.0) }, { "Lockdown", Value::dictionary({ { "DeviceName", Value::string("from the manifest") } }) } });
    write("Status.plist", { { "SnapshotState", Value::string("uploading") } });
    described = describeBackup(backup);
    EXPECT_TRUE(described.encrypted);
    EXPECT_FALSE(described.finished);
    EXPECT_EQ(described.deviceName, "from the manifest");
    EXPECT_EQ(described.date, "2025-01-02 03:04");

    std::filesystem::remove(folder.path() / "Info.plist");
    std::filesystem::remove(folder.path() / "Status.plist");
    ASSERT_TRUE(weeapp::sys::writePropertyListAtomically(*Value::array({ Value::string("not a manifest") }), (folder.path() / "Manifest.plist").string(),
        weeapp::sys::PropertyListFormat::Xml));
    described = describeBackup(backup);
    EXPECT_FALSE(described.hasManifest);
    EXPECT_FALSE(described.encrypted);
    EXPECT_FALSE(described.finished);
    EXPECT_EQ(described.deviceName, "");
    EXPECT_EQ(described.date, "");
}

// A top file is found by its name, else by the one name that differs only in case; a stored copy
// by an ID of letters and digits only, in its subfolder or at the top, so that an ID from the
// index never names a file outside the backup.
TEST(BackupReader, FindsFilesOnlyInsideTheBackup)
{
    TemporaryFolder folder;
    const BackupFolder backup(folder.path() / "backup");
    folder.write("backup/manifest.DB", "index");
    EXPECT_EQ(backup.topFile("Manifest.db"), folder.path() / "backup/manifest.DB");
    folder.write("backup/Manifest.db", "index");
    EXPECT_EQ(backup.topFile("Manifest.db"), folder.path() / "backup/Manifest.db");
    std::filesystem::remove(folder.path() / "backup/Manifest.db");
    folder.write("backup/MANIFEST.db", "index");
    EXPECT_EQ(backup.topFile("Manifest.db"), std::nullopt) << "two names differ only in case";
    std::filesystem::create_directories(folder.path() / "backup/Info.plist");
    EXPECT_EQ(backup.topFile("Info.plist"), std::nullopt);

    folder.write("backup/ab/abc123", "in its subfolder");
    folder.write("backup/def456", "at the top");
    folder.write("backup/ab/ab", "two characters");
    EXPECT_EQ(backup.storedFile("abc123"), folder.path() / "backup/ab/abc123");
    EXPECT_EQ(backup.storedFile("def456"), folder.path() / "backup/def456");
    EXPECT_EQ(backup.storedFile("ab"), folder.path() / "backup/ab/ab");
    folder.write("secret", "outside the backup");
    folder.write("backup/a", "one character");
    for (const char* unsafe : { "", "a", "../secret", "ab/../../secret", "..", "ab/abc123", "abc123 ", "abc-123" })
        EXPECT_EQ(backup.storedFile(unsafe), std::nullopt) << unsafe;
    EXPECT_EQ(backup.storedFile("0123456789abcdef"), std::nullopt) << "not stored";
}

// The name of a file's copy is the SHA-1 of domain, "-" and path, as the phone names it.
TEST(BackupReader, NamesCopiesByTheSha1OfDomainAndPath)
{
    EXPECT_EQ(backupFileId("HomeDomain", "Library/AddressBook/AddressBook.sqlitedb"), "31bb7ba8914766d4ba40d6dfb6113c8b614be442");
    EXPECT_EQ(backupFileId("", ""), "3bc15c8aae3e4124dd409035f32ea2fd6835efc9"); // SHA-1 of "-"
}

// The older index is read record by record: the records the writer wrote come back; any cut of
// it, and a wrong header, is an error at the cut and never a read past the end.
TEST(BackupReader, ReadsTheOlderIndexWithEveryLengthChecked)
{
    TemporaryFolder folder;
    const std::filesystem::path backup = writeSmallBackup(folder, BackupIndexFormat::Mbdb);
    const std::string bytes = readAll(backup / "Manifest.mbdb");

    std::istringstream in(bytes);
    MbdbReader reader(in);
    std::vector<std::string> paths;
    std::uint64_t favoritesSize = 0;
    std::set<std::size_t> ends { 6 };
    while (true) {
        Result<std::optional<MbdbRecord>> record = reader.next();
        ASSERT_TRUE(record.ok()) << record.error();
        if (!*record)
            break;
        paths.push_back((*record)->domain + "-" + (*record)->path + ((*record)->isFile() ? "" : "/"));
        if ("/private/var/mobile/" + (*record)->path == weeapp::sys::kFavoritesPath)
            favoritesSize = (*record)->size;
        ends.insert(static_cast<std::size_t>(in.tellg()));
    }
    EXPECT_EQ(paths.size(), 3u + 5u) << ::testing::PrintToString(paths);
    EXPECT_EQ(paths.front(), "AppDomain-org.example.app0-Library/Caches/item-0");
    EXPECT_EQ(favoritesSize, std::filesystem::file_size(folder.path() / "phone" / std::string(weeapp::sys::kFavoritesPath).substr(1)));

    for (std::size_t length = 0; length < bytes.size(); ++length) {
        std::istringstream cut(bytes.substr(0, length));
        MbdbReader cutReader(cut);
        bool failed = false;
        for (int records = 0; records < 20 && !failed; ++records) {
            Result<std::optional<MbdbRecord>> record = cutReader.next();
            failed = !record.ok();
            if (record.ok() && !*record)
                break;
        }
        // A cut between two records is a shorter index; every other cut fails.
        EXPECT_EQ(failed, !ends.contains(length)) << length;
    }
    std::istringstream wrong("mbdb\x04\x00" + bytes.substr(6));
    EXPECT_FALSE(MbdbReader(wrong).next().ok());
    // A length of 0xFFFF is no string; any other length is read whole or fails.
    std::istringstream absent(std::string(
        "mbdb\x05\x00\xff\xff\x00\x05"
        "abc",
        13));
    EXPECT_FALSE(MbdbReader(absent).next().ok());
}

// A file record's keyed archive gives its size, mode and path; a reference out of range, a
// negative size or bytes that are no archive give nothing.
TEST(BackupReader, DecodesFileRecordsAndRefusesBrokenOnes)
{
    const std::optional<FileRecord> record = decodeFileRecord(fileRecordArchive("Library/a b.plist", 1234567890123, 0100600));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size, 1234567890123u);
    EXPECT_EQ(record->mode, 0100600u);
    EXPECT_EQ(record->relativePath, "Library/a b.plist");

    const auto archive = [](weeapp::sys::ValuePtr root, weeapp::sys::ValuePtr size, weeapp::sys::ValuePtr path = weeapp::sys::Value::uid(7),
                             weeapp::sys::ValuePtr mode = weeapp::sys::Value::integer(0100644)) {
        const weeapp::sys::ValuePtr value = weeapp::sys::Value::dictionary({
            { "$top", weeapp::sys::Value::dictionary({ { "root", std::move(root) } }) },
            { "$objects", weeapp::sys::Value::array({ weeapp::sys::Value::string("$null"), weeapp::sys::Value::dictionary({ { "Size", std::move(size) }, { "RelativePath", std::move(path) }, { "Mode", std::move(mode) } }) }) },
        });
        return *weeapp::sys::serializePropertyList(*value, weeapp::sys::PropertyListFormat::Binary);
    };
    EXPECT_EQ(decodeFileRecord(archive(weeapp::sys::Value::uid(1), weeapp::sys::Value::integer(5)))->size, 5u);
    EXPECT_EQ(decodeFileRecord(archive(weeapp::sys::Value::uid(1), weeapp::sys::Value::integer(5)))->relativePath, "");
    // Sizes from 0 to the largest unsigned number; modes up to 32 bits; a path that is no text.
    EXPECT_EQ(decodeFileRecord(archive(weeapp::sys::Value::uid(1), weeapp::sys::Value::integer(0)))->size, 0u);
    EXPECT_EQ(decodeFileRecord(archive(weeapp::sys::Value::uid(1), weeapp::sys::Value::unsignedInteger(UINT64_MAX)))->size, UINT64_MAX);
    const auto modeOf = [&](weeapp::sys::ValuePtr mode) {
        return decodeFileRecord(archive(weeapp::sys::Value::uid(1), weeapp::sys::Value::integer(5), weeapp::sys::Value::uid(7), std::move(mode)))->mode;
    };
    EXPECT_EQ(modeOf(weeapp::sys::Value::integer(0100644)), 0100644u);
    EXPECT_EQ(modeOf(weeapp::sys::Value::integer(UINT32_MAX)), UINT32_MAX);
    EXPECT_EQ(modeOf(weeapp::sys::Value::integer(std::int64_t { UINT32_MAX } + 1)), FileRecord {}.mode);
    EXPECT_EQ(modeOf(weeapp::sys::Value::string("0644")), FileRecord {}.mode);
    EXPECT_EQ(decodeFileRecord(archive(weeapp::sys::Value::uid(1), weeapp::sys::Value::integer(5), weeapp::sys::Value::uid(1)))->relativePath, "");
    EXPECT_FALSE(decodeFileRecord(archive(weeapp::sys::Value::uid(2), weeapp::sys::Value::integer(5))));
    EXPECT_FALSE(decodeFileRecord(archive(weeapp::sys::Value::uid(0), weeapp::sys::Value::integer(5))));
    EXPECT_FALSE(decodeFileRecord(archive(weeapp::sys::Value::integer(1), weeapp::sys::Value::integer(5))));
    EXPECT_FALSE(decodeFileRecord(archive(weeapp::sys::Value::uid(1), weeapp::sys::Value::integer(-1))));
    EXPECT_FALSE(decodeFileRecord(archive(weeapp::sys::Value::uid(1), weeapp::sys::Value::string("5"))));
    EXPECT_FALSE(decodeFileRecord(""));
}

// The newer index finds files through its index on relative paths, never by walking the rows,
// and answers only for files of the domain asked for.
TEST(BackupReader, LooksFilesUpThroughTheIndex)
{
    TemporaryFolder folder;
    const std::filesystem::path backup = writeSmallBackup(folder, BackupIndexFormat::Database, 500);
    Result<std::unique_ptr<ManifestDatabase>> index = ManifestDatabase::open(backup / "Manifest.db");
    ASSERT_TRUE(index.ok()) << index.error();
    const std::vector<std::string> paths { "Library/AddressBook/AddressBook.sqlitedb", "Library/Caches/item-7", "Library", "Library/missing" };
    Result<std::map<std::string, BackupEntry>> found = (*index)->findFiles("HomeDomain", paths);
    ASSERT_TRUE(found.ok()) << found.error();
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ(found->begin()->second.fileId, "31bb7ba8914766d4ba40d6dfb6113c8b614be442");
    EXPECT_EQ(found->begin()->second.size, std::string("not really a database").size());
    EXPECT_EQ((*index)->findFiles("AppDomain-org.example.app7", paths)->size(), 1u);

    // The older index answers the same: only the listed files of the domain asked for, not a
    // folder, another domain's file at the same path or a file no one asked for.
    TemporaryFolder older;
    older.write("phone/private/var/mobile/Library/Notes/notes.db", "not asked for");
    const std::filesystem::path mbdb = writeSmallBackup(older, BackupIndexFormat::Mbdb, 500);
    ManifestMbdb oldIndex(mbdb / "Manifest.mbdb");
    for (const std::string& domain : { std::string("HomeDomain"), std::string("AppDomain-org.example.app7") }) {
        Result<std::map<std::string, BackupEntry>> fromOld = oldIndex.findFiles(domain, paths);
        Result<std::map<std::string, BackupEntry>> fromNew = (*index)->findFiles(domain, paths);
        ASSERT_TRUE(fromOld.ok() && fromNew.ok()) << domain;
        ASSERT_EQ(fromOld->size(), 1u) << domain;
        EXPECT_EQ(fromOld->begin()->first, fromNew->begin()->first) << domain;
        EXPECT_EQ(fromOld->begin()->second.fileId, fromNew->begin()->second.fileId) << domain;
    }

    SqliteConnection connection = openSqlite((backup / "Manifest.db").c_str(), SQLITE_OPEN_READONLY);
    SqliteStatement plan = prepareSqlite(connection.get(), (std::string("EXPLAIN QUERY PLAN ") + ManifestDatabase::kLookup).c_str());
    ASSERT_EQ(sqlite3_step(plan.get()), SQLITE_ROW);
    EXPECT_NE(std::string(reinterpret_cast<const char*>(sqlite3_column_text(plan.get(), 3))).find("USING INDEX FilesRelativePathIdx"), std::string::npos);
    plan.reset();
    connection.reset();

    // A row without a file ID, or whose record is no record, is an error, not a file.
    for (const char* damage : { "UPDATE Files SET fileID = NULL WHERE relativePath = 'Library/AddressBook/AddressBook.sqlitedb'",
             "UPDATE Files SET file = x'00' WHERE relativePath = 'Library/AddressBook/AddressBook.sqlitedb'" }) {
        TemporaryFolder other;
        const std::filesystem::path damaged = writeSmallBackup(other, BackupIndexFormat::Database, 10);
        SqliteConnection writer = openSqlite((damaged / "Manifest.db").c_str(), SQLITE_OPEN_READWRITE);
        ASSERT_EQ(sqlite3_exec(writer.get(), damage, nullptr, nullptr, nullptr), SQLITE_OK) << damage;
        writer.reset();
        Result<std::unique_ptr<ManifestDatabase>> opened = ManifestDatabase::open(damaged / "Manifest.db");
        ASSERT_TRUE(opened.ok()) << opened.error();
        Result<std::map<std::string, BackupEntry>> refused = (*opened)->findFiles("HomeDomain", paths);
        ASSERT_FALSE(refused.ok()) << damage;
        EXPECT_EQ(refused.error(), "the backup's index holds an unreadable record of HomeDomain/Library/AddressBook/AddressBook.sqlitedb") << damage;
    }
}

}
}
