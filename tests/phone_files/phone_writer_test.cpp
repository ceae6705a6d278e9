#include "phone_writer.h"

#include "kavrin/published_names.h"
#include "support/temporary_folder.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/files/phone_paths.h>
#include <weeapp/ui/images/image.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <string>
#include <vector>

namespace kavrin::phone_files {
namespace {

// Every row of the query's first column as text ("NULL" for a null), in the order read.
std::vector<std::string> column(const std::filesystem::path& database, const std::string& sql)
{
    std::vector<std::string> values;
    weeapp::SqliteConnection connection;
    if (sqlite3_open_v2(database.c_str(), connection.out(), SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        weeapp::SqliteStatement statement;
        sqlite3_prepare_v2(connection.get(), sql.c_str(), -1, statement.out(), nullptr);
        while (statement && sqlite3_step(statement.get()) == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(statement.get(), 0);
            values.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
    }
    return values;
}

// The address book answers the widget's queries with the rows in the order they were added,
// nulls as nulls and labels through the label table; opening replaces whatever file was there.
TEST(PhoneWriter, AddressBookKeepsRowsInTheOrderAdded)
{
    kavrin::testing::TemporaryFolder folder;
    const PhoneWriter phone(folder.path());
    ASSERT_TRUE(phone.writeFile(weeapp::sys::kAddressBookPath, std::vector<std::uint8_t>(64, 'x')));
    {
        AddressBookWriter book(phone);
        ASSERT_TRUE(book.opened());
        EXPECT_TRUE(book.addPerson(7, "Anna", "Berg"));
        EXPECT_TRUE(book.addValue({ 7, kMailProperty, "first@example.org", "_$!<Home>!$_", 0 }));
        EXPECT_TRUE(book.addValue({ 7, kPhoneProperty, "+49 170 1" }));
        EXPECT_TRUE(book.addValue({ 7, kMailProperty, "second@example.org", "_$!<Home>!$_", 1 }));
        EXPECT_TRUE(book.addValue({ 8, kMailProperty, std::nullopt }));
        EXPECT_TRUE(book.commit());
    }
    const auto path = phone.realPath(weeapp::sys::kAddressBookPath);
    EXPECT_EQ(column(path, "select value from ABMultiValue WHERE property=4 AND record_id=7"),
        (std::vector<std::string> { "first@example.org", "second@example.org" }));
    EXPECT_EQ(column(path, "select value from ABMultiValue WHERE property=4 AND record_id=8"), (std::vector<std::string> { "NULL" }));
    EXPECT_EQ(column(path, "select ABMultiValueLabel.value from ABMultiValue JOIN ABMultiValueLabel ON label = ABMultiValueLabel.ROWID"),
        (std::vector<std::string> { "_$!<Home>!$_", "_$!<Home>!$_" }));
    EXPECT_EQ(column(path, "select First || ' ' || Last from ABPerson WHERE ROWID=7"), (std::vector<std::string> { "Anna Berg" }));

    ThumbnailWriter images(phone);
    const Bytes photo = *encodePng(2, 1, PixelLayout::Rgb, { 255, 0, 0, 0, 0, 255 });
    EXPECT_TRUE(images.addThumbnail({ 7, { 1, 2, 3 } }));
    EXPECT_TRUE(images.addThumbnail({ 7, photo, 1 }));
    EXPECT_TRUE(images.addThumbnail({ 7, photo }));
    EXPECT_TRUE(images.commit());
    EXPECT_EQ(column(phone.realPath(weeapp::sys::kAddressBookImagesPath), "select length(data) from ABThumbnailImage WHERE format=0 AND record_id=7"),
        (std::vector<std::string> { "3", std::to_string(photo.size()) }));
}

// The one PNG encoder takes rows of either layout and refuses rows of the wrong size.
TEST(PhoneWriter, EncodesRowsOfEitherLayout)
{
    const Bytes rgb { 255, 0, 0, 0, 255, 0 };
    const auto decoded = weeapp::ui::decodeImage(*encodePng(2, 1, PixelLayout::Rgb, rgb));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->pixels[0] & 0xffffffu, 0xff0000u);
    EXPECT_EQ(decoded->pixels[1] & 0xffffffu, 0x00ff00u);
    EXPECT_TRUE(encodePng(1, 1, PixelLayout::Rgba, { 1, 2, 3, 4 }).has_value());
    EXPECT_FALSE(encodePng(2, 1, PixelLayout::Rgba, rgb).has_value());
    EXPECT_FALSE(encodePng(0, 0, PixelLayout::Rgb, {}).has_value());
}

// Favorites leave out what is missing and keep the extra keys; the bundle link replaces a link
// but never a real folder, which stays as it was.
TEST(PhoneWriter, FavoritesAndTheBundleLink)
{
    kavrin::testing::TemporaryFolder folder;
    const PhoneWriter phone(folder.path());
    ASSERT_TRUE(phone.writeFavorites({ { "Anna", std::nullopt, "iPhone", "1", { { "UID", weeapp::sys::Value::integer(5) } } } }));
    const weeapp::sys::ValuePtr favorites = weeapp::sys::readPropertyListFile(phone.realPath(weeapp::sys::kFavoritesPath).string());
    const weeapp::sys::ValuePtr first = weeapp::sys::objectAtIndex(favorites, 0);
    EXPECT_EQ(weeapp::sys::description(weeapp::sys::objectForKey(first, "Name")), "Anna");
    EXPECT_EQ(weeapp::sys::objectForKey(first, "ABUid"), nullptr);
    EXPECT_NE(weeapp::sys::objectForKey(first, "UID"), nullptr);

    for (const char* bundle : { "one", "two" })
        if (auto linked = phone.linkBundle(kBundlePath, folder.path() / bundle); !linked)
            FAIL() << linked.error();
    const std::filesystem::path link = phone.realPath(kBundlePath).parent_path();
    std::filesystem::create_directories(folder.path() / "two");
    if (auto linked = phone.linkBundle(kBundlePath, folder.path() / "two"); !linked)
        FAIL() << linked.error();
    EXPECT_TRUE(std::filesystem::read_symlink(link).is_relative()) << std::filesystem::read_symlink(link);
    EXPECT_TRUE(std::filesystem::equivalent(link, folder.path() / "two"));

    std::filesystem::remove(link);
    std::filesystem::create_directories(link);
    std::ofstream(link / "Kavrin") << "mine";
    auto refused = phone.linkBundle(kBundlePath, folder.path() / "two");
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("not a link"), std::string::npos) << refused.error();
    EXPECT_TRUE(std::filesystem::is_regular_file(link / "Kavrin"));
}

}
}
