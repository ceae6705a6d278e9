#include "backup/import_root.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <set>

namespace kavrin::phone_files {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

unsigned modeOf(const fs::path& path)
{
    struct stat status { };
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

// An import is made beside the root, its folders 0700 and files 0600, and put in the root's place
// whole, with the marker; an earlier import is replaced, and nothing is left beside the root.
TEST(ImportRoot, PutsTheImportInPlaceWhole)
{
    TemporaryFolder folder;
    const fs::path root = folder.path() / "made/on/the/way/root";
    {
        Result<ImportRoot> made = ImportRoot::prepare(root);
        ASSERT_TRUE(made.ok()) << made.error();
        EXPECT_FALSE(made->replacesEarlierImport());
        EXPECT_EQ(made->staging().parent_path(), root.parent_path());
        EXPECT_EQ(modeOf(made->staging()), 0700u);
        fs::create_directories(made->staging() / "private/var");
        folder.write(fs::relative(made->staging() / "private/var/file", folder.path()), "first");
        fs::permissions(made->staging() / "private/var/file", fs::perms::all);
        fs::permissions(made->staging() / "private", fs::perms::all);
        ASSERT_TRUE(made->putInPlace().ok());
    }
    EXPECT_EQ(namesIn(root.parent_path()), std::set<std::string> { "root" });
    EXPECT_EQ(namesIn(root), (std::set<std::string> { kImportMarker, "private" }));
    EXPECT_EQ(testing::fileBytes(root / "private/var/file"), "first");
    EXPECT_EQ(modeOf(root), 0700u);
    EXPECT_EQ(modeOf(root / "private"), 0700u);
    EXPECT_EQ(modeOf(root / "private/var/file"), 0600u);
    EXPECT_EQ(modeOf(root / kImportMarker), 0600u);

    {
        Result<ImportRoot> again = ImportRoot::prepare(root);
        ASSERT_TRUE(again.ok()) << again.error();
        EXPECT_TRUE(again->replacesEarlierImport());
        folder.write(fs::relative(again->staging() / "second", folder.path()), "second");
        ASSERT_TRUE(again->putInPlace().ok());
    }
    EXPECT_EQ(namesIn(root.parent_path()), std::set<std::string> { "root" });
    EXPECT_EQ(namesIn(root), (std::set<std::string> { kImportMarker, "second" }));
}

// When the root changed between the look at it and the end of the import (filled by someone
// else, or the earlier import removed), the import fails and is removed, and the root is left
// as it is; a root whose folders cannot be made is refused at once.
TEST(ImportRoot, LeavesARootThatChangedMeanwhile)
{
    TemporaryFolder folder;
    const fs::path root = folder.path() / "root";
    {
        Result<ImportRoot> made = ImportRoot::prepare(root);
        ASSERT_TRUE(made.ok()) << made.error();
        folder.write("root/theirs", "someone else's");
        const Result<void> put = made->putInPlace();
        ASSERT_FALSE(put.ok());
        EXPECT_EQ(put.error(), "cannot put the import in " + root.string() + " (is it still empty?)");
    }
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string> { "root" });
    EXPECT_EQ(namesIn(root), std::set<std::string> { "theirs" });

    fs::remove(root / "theirs");
    folder.write(fs::path("root") / kImportMarker, "an earlier import");
    {
        Result<ImportRoot> made = ImportRoot::prepare(root);
        ASSERT_TRUE(made.ok()) << made.error();
        ASSERT_TRUE(made->replacesEarlierImport());
        fs::remove_all(root);
        const Result<void> put = made->putInPlace();
        ASSERT_FALSE(put.ok());
        EXPECT_EQ(put.error(), "cannot replace the earlier import in " + root.string());
    }
    EXPECT_TRUE(namesIn(folder.path()).empty());

    folder.write("file", "a file where a folder would be made");
    const Result<ImportRoot> unmade = ImportRoot::prepare(folder.path() / "file/root");
    ASSERT_FALSE(unmade.ok());
    EXPECT_EQ(unmade.error(), "cannot make a folder beside " + (folder.path() / "file/root").string());
}

}
}
