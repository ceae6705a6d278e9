#include "widget/support/phone_fixture.h"

#include "resources/bundle_resources.h"
#include "sys/phone_paths.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

namespace kavrin::testing {
namespace {

using AddressBookTest = PhoneFixture;

// The last of several address rows wins; other properties and records are never read; a record
// without rows, a null or non-UTF-8 value give the empty text.
TEST_F(AddressBookTest, MailLookupTakesTheLastRow)
{
    EXPECT_EQ(controller->getMailFromDB(1), "");
    writeAddressBook({
        { 1, "first@example.org" },
        { 1, "+49 170 1234", 3 },
        { 1, "second@example.org" },
        { 2, std::nullopt },
        { 3, std::string("bad\xff\xfe") },
        { -5, "negative@example.org" },
    });
    EXPECT_EQ(controller->getMailFromDB(1), "second@example.org");
    EXPECT_EQ(controller->getMailFromDB(0), "");
    EXPECT_EQ(controller->getMailFromDB(2), "");
    EXPECT_EQ(controller->getMailFromDB(3), "");
    EXPECT_EQ(controller->getMailFromDB(-5), "negative@example.org");
}

// Photos: the last format-0 row wins, other formats are ignored, undecodable or empty bytes
// give no image, and no row at all gives the bundle's placeholder.
TEST_F(AddressBookTest, ImageLookupAndItsFallbacks)
{
    writeBundleImages();
    const ui::ImagePtr missingDatabase = controller->getImageFromDB(1);
    ASSERT_NE(missingDatabase, nullptr);
    EXPECT_EQ(missingDatabase->source(), std::string("file:") + kPlaceholderPhotoPath);

    writeThumbnails({
        { 1, pngBytes(4, 4) },
        { 1, pngBytes(6, 3) },
        { 1, pngBytes(9, 9), 1 },
        { 2, { 1, 2, 3, 4 } },
        { 3, {} },
        { 4, pngBytes(5, 5), 2 },
    });
    const ui::ImagePtr photo = controller->getImageFromDB(1);
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->source(), "data");
    EXPECT_EQ(photo->size(), (ui::Size { 6, 3 }));
    EXPECT_EQ(controller->getImageFromDB(2), nullptr);
    EXPECT_EQ(controller->getImageFromDB(3), nullptr);
    ASSERT_NE(controller->getImageFromDB(4), nullptr);
    EXPECT_EQ(controller->getImageFromDB(4)->source(), std::string("file:") + kPlaceholderPhotoPath);
}

// The widget writes nothing: a missing database is not created, and opening never changes a
// present one.
TEST_F(AddressBookTest, DatabasesAreOpenedReadOnly)
{
    EXPECT_EQ(controller->getNewABDBConnection(), nullptr);
    EXPECT_EQ(controller->getNewDBConnection(), nullptr);
    controller->getMailFromDB(1);
    controller->getImageFromDB(1);
    EXPECT_FALSE(std::filesystem::exists(realPath(sys::kAddressBookPath)));
    EXPECT_FALSE(std::filesystem::exists(realPath(sys::kAddressBookImagesPath)));

    writeAddressBook({ { 1, "a@example.org" } });
    sqlite3* connection = controller->getNewABDBConnection();
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(sqlite3_exec(connection, "DELETE FROM ABMultiValue", nullptr, nullptr, nullptr), SQLITE_READONLY);
    sqlite3_close(connection);
    EXPECT_EQ(controller->getMailFromDB(1), "a@example.org");
}

// A database in write-ahead-log mode, as the phone keeps its address book, is read without a
// single file appearing beside it.
TEST_F(AddressBookTest, WriteAheadLogDatabasesGainNoFiles)
{
    writeBundleImages();
    writeAddressBook({ { 1, "a@example.org" } });
    writeThumbnails({ { 1, pngBytes(4, 4) } });
    for (const char* phonePath : { sys::kAddressBookPath, sys::kAddressBookImagesPath }) {
        sqlite3* database = nullptr;
        ASSERT_EQ(sqlite3_open(realPath(phonePath).c_str(), &database), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(database, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(database);
    }
    const auto folderListing = [this] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(realPath(sys::kAddressBookPath).parent_path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = folderListing();
    EXPECT_EQ(controller->getMailFromDB(1), "a@example.org");
    const ui::ImagePtr photo = controller->getImageFromDB(1);
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->source(), "data");
    EXPECT_EQ(folderListing(), before);
}

// A database of another schema, a corrupt file, one locked by a writer, a FIFO or a folder in
// its place falls back at once.
TEST_F(AddressBookTest, BrokenOrBusyDatabasesFallBack)
{
    writeBundleImages();
    std::filesystem::create_directories(realPath(sys::kAddressBookPath).parent_path());
    ASSERT_EQ(::mkfifo(realPath(sys::kAddressBookPath).c_str(), 0600), 0);
    std::filesystem::create_directory(realPath(sys::kAddressBookImagesPath));
    EXPECT_EQ(controller->getMailFromDB(1), "");
    EXPECT_EQ(controller->getImageFromDB(1)->source(), std::string("file:") + kPlaceholderPhotoPath);
    std::filesystem::remove(realPath(sys::kAddressBookPath));
    std::filesystem::remove(realPath(sys::kAddressBookImagesPath));

    {
        sqlite3* database = nullptr;
        sqlite3_open(realPath(sys::kAddressBookPath).c_str(), &database);
        sqlite3_exec(database, "CREATE TABLE ABPerson (ROWID INTEGER)", nullptr, nullptr, nullptr);
        sqlite3_close(database);
    }
    EXPECT_EQ(controller->getMailFromDB(1), "");
    std::ofstream(realPath(sys::kAddressBookImagesPath), std::ios::binary) << std::string(4096, 'x');
    EXPECT_EQ(controller->getImageFromDB(1)->source(), std::string("file:") + kPlaceholderPhotoPath);

    std::filesystem::remove(realPath(sys::kAddressBookPath));
    writeAddressBook({ { 1, "a@example.org" } });
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(realPath(sys::kAddressBookPath).c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(controller->getMailFromDB(1), "");
    sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
    EXPECT_EQ(controller->getMailFromDB(1), "a@example.org");
}

}
}
