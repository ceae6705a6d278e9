#include "demo_phone.h"

#include "kavrin/published_names.h"
#include "support/temporary_folder.h"
#include <weeapp/sys/phone_paths.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kavrin::testing {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Over a phone that is there, only what is missing is written: the user's settings, favorites
// and databases stay byte for byte, and a bundle link that leads nowhere (a copied phone) is
// pointed at the bundle.
TEST(DemoPhone, CompletesAPhoneWithoutReplacingAnything)
{
    TemporaryFolder folder;
    const fs::path root = folder.path() / "phone";
    const fs::path bundle = folder.path() / "Kavrin.bundle";
    fs::create_directories(bundle);
    const auto real = [&](const char* phonePath) { return root / fs::path(phonePath).relative_path(); };

    auto fresh = phone_files::completeDemoPhone(root, bundle);
    ASSERT_TRUE(fresh) << fresh.error();
    EXPECT_EQ(fresh->written.size(), 3u);
    EXPECT_TRUE(fresh->kept.empty());

    folder.write(real(kSettingsPath).lexically_relative(folder.path()), "the user's own bytes");
    const std::string favorites = contents(real(sys::kFavoritesPath));
    fs::remove(real(kBundlePath).parent_path());
    fs::create_directory_symlink(folder.path() / "gone", real(kBundlePath).parent_path());

    auto again = phone_files::completeDemoPhone(root, bundle);
    ASSERT_TRUE(again) << again.error();
    EXPECT_EQ(contents(real(kSettingsPath)), "the user's own bytes");
    EXPECT_EQ(contents(real(sys::kFavoritesPath)), favorites);
    EXPECT_TRUE(fs::equivalent(real(kBundlePath).parent_path(), bundle));
    EXPECT_EQ(again->written, (std::vector<std::string> { "the bundle link, pointed at " + bundle.string() }));
    EXPECT_EQ(again->kept, (std::vector<std::string> { "the settings file", "the favorites", "the address book", "the address book's images" }));

    // Only what is there is said to be kept: without the favorites, the address book.
    fs::remove(real(sys::kFavoritesPath));
    fs::remove(real(sys::kAddressBookImagesPath));
    auto withoutFavorites = phone_files::completeDemoPhone(root, bundle);
    ASSERT_TRUE(withoutFavorites);
    EXPECT_EQ(withoutFavorites->kept, (std::vector<std::string> { "the settings file", "the address book", "the bundle link" }));
    EXPECT_FALSE(fs::exists(real(sys::kFavoritesPath)));

    fs::remove(real(kSettingsPath));
    auto settingsOnly = phone_files::completeDemoPhone(root, bundle);
    ASSERT_TRUE(settingsOnly);
    EXPECT_EQ(settingsOnly->written, (std::vector<std::string> { "the settings file" }));
}

}
}
