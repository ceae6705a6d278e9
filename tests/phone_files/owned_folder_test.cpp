#include "owned_folder.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kavrin::phone_files {
namespace {

namespace fs = std::filesystem;

// A folder made 0700 goes with its owner, or with the owner it was moved to; one that replaces it
// in an owner sends the earlier one; a released one stays; one that cannot be made is no folder.
TEST(OwnedFolder, GoesWithItsOwnerOnly)
{
    testing::TemporaryFolder place;
    const std::string pattern = (place.path() / "owned-XXXXXX").string();
    fs::path first, second;
    {
        OwnedFolder owner = OwnedFolder::make(pattern);
        ASSERT_TRUE(owner);
        first = owner.path();
        struct stat status { };
        ASSERT_EQ(::stat(first.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0700u);
        place.write(fs::relative(first / "inside/file", place.path()), "bytes");

        OwnedFolder moved(std::move(owner));
        EXPECT_FALSE(owner);
        EXPECT_EQ(moved.path(), first);
        moved = OwnedFolder::make(pattern);
        second = moved.path();
        EXPECT_FALSE(fs::exists(first));
        EXPECT_TRUE(fs::is_directory(second));
    }
    EXPECT_FALSE(fs::exists(second));

    {
        OwnedFolder kept = OwnedFolder::make(pattern);
        first = kept.path();
        kept.release();
        EXPECT_FALSE(kept);
    }
    EXPECT_TRUE(fs::is_directory(first));

    EXPECT_FALSE(OwnedFolder::make((place.path() / "missing/owned-XXXXXX").string()));
    EXPECT_FALSE(OwnedFolder::make("no pattern"));
}

}
}
