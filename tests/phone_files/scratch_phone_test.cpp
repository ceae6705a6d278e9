#include "kavrin/published_names.h"
#include "scratch_phone.h"
#include "support/scoped_environment.h"
#include "support/temporary_folder.h"
#include <weeapp/sys/files/phone_paths.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace kavrin::phone_files {
namespace {

namespace fs = std::filesystem;
using kavrin::testing::fileBytes;
using kavrin::testing::ScopedEnvironment;
using kavrin::testing::TemporaryFolder;

fs::path under(const fs::path& root, std::string_view phonePath)
{
    return root / fs::path(phonePath).relative_path();
}

// The copy holds the favorites, the settings and every regular file of the address-book folder
// (journals and logs too) with their bytes, and a link to the phone's own bundle; nothing else
// of the phone, and nothing that is no regular file. Changing the copy leaves the phone alone,
// and the copy's folder goes with the object.
TEST(ScratchPhone, CopiesWhatTheWidgetReadsAndGoesAway)
{
    TemporaryFolder phone;
    TemporaryFolder temporary;
    const ScopedEnvironment redirected("TMPDIR", temporary.path().string());
    const fs::path addressBook = under(phone.path(), weeapp::sys::kAddressBookPath).parent_path();
    phone.write(weeapp::sys::kFavoritesPath, "favorites");
    phone.write(kSettingsPath, "settings");
    phone.write(weeapp::sys::kAddressBookPath, "database");
    phone.write(std::string(weeapp::sys::kAddressBookPath) + "-wal", "log");
    phone.write(weeapp::sys::kAddressBookImagesPath, "images");
    phone.write("/private/var/mobile/Library/Preferences/other.plist", "not the widget's");
    phone.write(std::string(kBundlePath) + "Kavrin", "plug-in");
    fs::create_directory(addressBook / "Folder.sqlitedb");
    ASSERT_EQ(::mkfifo((addressBook / "pipe").c_str(), 0600), 0);

    auto copied = ScratchPhone::copyOf(phone.path());
    ASSERT_TRUE(copied) << copied.error();
    std::unique_ptr<ScratchPhone> scratch = std::move(*copied);
    const fs::path copy = scratch->root();
    EXPECT_EQ(copy.parent_path(), temporary.path());
    EXPECT_EQ(fileBytes(under(copy, weeapp::sys::kFavoritesPath)), "favorites");
    EXPECT_EQ(fileBytes(under(copy, kSettingsPath)), "settings");
    EXPECT_EQ(fileBytes(under(copy, weeapp::sys::kAddressBookPath)), "database");
    EXPECT_EQ(fileBytes(under(copy, std::string(weeapp::sys::kAddressBookPath) + "-wal")), "log");
    EXPECT_EQ(fileBytes(under(copy, weeapp::sys::kAddressBookImagesPath)), "images");
    EXPECT_FALSE(fs::exists(under(copy, "/private/var/mobile/Library/Preferences/other.plist")));
    const fs::path copiedBook = under(copy, weeapp::sys::kAddressBookPath).parent_path();
    EXPECT_FALSE(fs::exists(copiedBook / "Folder.sqlitedb"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(copiedBook / "pipe")));
    const fs::path link = under(copy, kBundlePath).parent_path();
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), fs::canonical(under(phone.path(), kBundlePath).parent_path()));

    std::ofstream(under(copy, kSettingsPath), std::ios::trunc) << "changed";
    fs::remove(under(copy, weeapp::sys::kFavoritesPath));
    EXPECT_EQ(fileBytes(under(phone.path(), kSettingsPath)), "settings");
    EXPECT_EQ(fileBytes(under(phone.path(), weeapp::sys::kFavoritesPath)), "favorites");

    scratch.reset();
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_TRUE(fs::is_regular_file(under(phone.path(), std::string(kBundlePath) + "Kavrin")));
}

// A phone with none of the widget's files makes an empty copy without a bundle link; a link in
// the favorites' place is copied as the file it leads to, and one that leads nowhere is passed
// over. Without a temporary folder to make, there is no copy and the reason says why.
TEST(ScratchPhone, MissingFilesAndNoTemporaryFolder)
{
    TemporaryFolder phone;
    TemporaryFolder temporary;
    {
        const ScopedEnvironment redirected("TMPDIR", temporary.path().string());
        auto empty = ScratchPhone::copyOf(phone.path());
        ASSERT_TRUE(empty) << empty.error();
        EXPECT_TRUE(fs::is_empty((*empty)->root()));

        const fs::path target = phone.write("/elsewhere/list.plist", "linked favorites");
        fs::create_directories(under(phone.path(), weeapp::sys::kFavoritesPath).parent_path());
        fs::create_symlink(target, under(phone.path(), weeapp::sys::kFavoritesPath));
        fs::create_symlink(phone.path() / "nowhere", under(phone.path(), kSettingsPath));
        auto linked = ScratchPhone::copyOf(phone.path());
        ASSERT_TRUE(linked) << linked.error();
        const fs::path favorites = under((*linked)->root(), weeapp::sys::kFavoritesPath);
        EXPECT_FALSE(fs::is_symlink(favorites));
        EXPECT_EQ(fileBytes(favorites), "linked favorites");
        EXPECT_FALSE(fs::exists(fs::symlink_status(under((*linked)->root(), kSettingsPath))));
    }

    const ScopedEnvironment missing("TMPDIR", (temporary.path() / "not-there").string());
    auto refused = ScratchPhone::copyOf(phone.path());
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("temporary folder"), std::string::npos) << refused.error();
    EXPECT_FALSE(fs::exists(temporary.path() / "not-there"));
}

}
}
