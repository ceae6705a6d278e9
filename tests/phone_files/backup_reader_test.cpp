#include "backup/backup_file_id.h"
#include "backup/backup_writer.h"
#include "backup/file_record.h"
#include "backup/manifest_database.h"
#include "backup/manifest_mbdb.h"
#include "phone_writer.h"
#include "support/temporary_folder.h"
#include <weeapp/sys/phone_paths.h>

#include <gtest/gtest.h>

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
        if ("/private/var/mobile/" + (*record)->path == sys::kFavoritesPath)
            favoritesSize = (*record)->size;
        ends.insert(static_cast<std::size_t>(in.tellg()));
    }
    EXPECT_EQ(paths.size(), 3u + 5u) << ::testing::PrintToString(paths);
    EXPECT_EQ(paths.front(), "AppDomain-org.example.app0-Library/Caches/item-0");
    EXPECT_EQ(favoritesSize, std::filesystem::file_size(folder.path() / "phone" / std::string(sys::kFavoritesPath).substr(1)));

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

    const auto archive = [](sys::ValuePtr root, sys::ValuePtr size) {
        const sys::ValuePtr value = sys::Value::dictionary({
            { "$top", sys::Value::dictionary({ { "root", std::move(root) } }) },
            { "$objects", sys::Value::array({ sys::Value::string("$null"), sys::Value::dictionary({ { "Size", std::move(size) }, { "RelativePath", sys::Value::uid(7) } }) }) },
        });
        return *sys::serializePropertyList(*value, sys::PropertyListFormat::Binary);
    };
    EXPECT_EQ(decodeFileRecord(archive(sys::Value::uid(1), sys::Value::integer(5)))->size, 5u);
    EXPECT_EQ(decodeFileRecord(archive(sys::Value::uid(1), sys::Value::integer(5)))->relativePath, "");
    EXPECT_FALSE(decodeFileRecord(archive(sys::Value::uid(2), sys::Value::integer(5))));
    EXPECT_FALSE(decodeFileRecord(archive(sys::Value::uid(0), sys::Value::integer(5))));
    EXPECT_FALSE(decodeFileRecord(archive(sys::Value::integer(1), sys::Value::integer(5))));
    EXPECT_FALSE(decodeFileRecord(archive(sys::Value::uid(1), sys::Value::integer(-1))));
    EXPECT_FALSE(decodeFileRecord(archive(sys::Value::uid(1), sys::Value::string("5"))));
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

    SqliteConnection connection = openSqlite((backup / "Manifest.db").c_str(), SQLITE_OPEN_READONLY);
    SqliteStatement plan = prepareSqlite(connection.get(), (std::string("EXPLAIN QUERY PLAN ") + ManifestDatabase::kLookup).c_str());
    ASSERT_EQ(sqlite3_step(plan.get()), SQLITE_ROW);
    EXPECT_NE(std::string(reinterpret_cast<const char*>(sqlite3_column_text(plan.get(), 3))).find("USING INDEX FilesRelativePathIdx"), std::string::npos);
}

}
}
