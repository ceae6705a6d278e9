#include "support/host_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>

namespace kavrin::testing {
namespace {

// Every file under a folder with its bytes.
std::map<std::string, std::string> filesIn(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && !entry.is_symlink())
            files[fs::relative(entry.path(), folder).string()] = readFile(entry.path());
    return files;
}

// The pictures that index.html shows, in its order.
std::vector<std::string> picturesOfIndex(const std::string& html)
{
    std::vector<std::string> pictures;
    static const std::regex image("<img src=\"([^\"]+)\"");
    for (auto match = std::sregex_iterator(html.begin(), html.end(), image); match != std::sregex_iterator(); ++match)
        pictures.push_back((*match)[1]);
    return pictures;
}

RunResult gallery(const PhoneRoot& phone, const fs::path& folder)
{
    return runProgram("kavrin-host", { "--root", phone.root(), "--scale", "1", "--gallery", folder.string() });
}

// The gallery draws every state into the folder with a contact sheet and an index that shows
// them all; two runs give the same bytes, and a run into an earlier gallery replaces it. The
// phone it draws is left as it was, although the gallery removes photos and favorites on its
// copy.
TEST(Gallery, IsCompleteAndTheSameAtEveryRun)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    const std::map<std::string, std::string> phoneBefore = filesIn(phone.path());
    TemporaryFolder first;
    TemporaryFolder second;

    RunResult run = gallery(phone, first.path() / "gallery");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(filesIn(phone.path()), phoneBefore);

    const std::string index = readFile(first.path() / "gallery" / "index.html");
    const std::vector<std::string> pictures = picturesOfIndex(index);
    ASSERT_EQ(pictures.size(), 58u); // the sheet and 57 states
    EXPECT_EQ(pictures.front(), "gallery.png");
    std::vector<std::string> lines = linesOf(run.out);
    for (const std::string& picture : pictures) {
        EXPECT_TRUE(Picture(first.path() / "gallery" / picture).valid()) << picture;
        EXPECT_TRUE(picture == "gallery.png" || index.find("id=\"" + picture + "\"") != std::string::npos) << picture;
    }
    EXPECT_EQ(lines.back(), "index " + (first.path() / "gallery" / "index.html").string());
    for (const char* state : { "standard-no-labels-no-bg-5-page-2.png", "metro-pattern-4-clear.png", "chooser-nl.png", "no-favorites.png", "scripts-page-2.png" })
        EXPECT_NE(std::find(pictures.begin(), pictures.end(), state), pictures.end()) << state;

    // The flip turns a tile that is on the page: the moment differs from the look at rest.
    EXPECT_FALSE(Picture(first.path() / "gallery" / "metro-mid-flip.png") == Picture(first.path() / "gallery" / "metro-pattern-1-cyan.png"));
    EXPECT_FALSE(Picture(first.path() / "gallery" / "chooser-de.png") == Picture(first.path() / "gallery" / "chooser-fr.png"));
    // Every pattern in every colour is a picture of its own: the colour shows beside the tiles.
    const std::map<std::string, std::string> files = filesIn(first.path() / "gallery");
    std::set<std::string> metroPictures;
    for (const auto& [name, bytes] : files)
        if (name.starts_with("metro-pattern-"))
            metroPictures.insert(bytes);
    EXPECT_EQ(metroPictures.size(), 28u);

    ASSERT_EQ(gallery(phone, second.path()).status, 0);
    EXPECT_EQ(filesIn(second.path()), filesIn(first.path() / "gallery"));
    ASSERT_EQ(gallery(phone, first.path() / "gallery").status, 0);
    EXPECT_EQ(filesIn(second.path()), filesIn(first.path() / "gallery"));
}

// A folder that holds anything but an earlier gallery is not written into: status 2, and its
// files stay as they were.
TEST(Gallery, LeavesOtherFoldersAlone)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    TemporaryFolder folder;
    fs::create_directories(folder.path() / "photos");
    {
        std::ofstream(folder.path() / "photos" / "standard-labels-bg-4-page-1.png") << "my own picture";
    }
    std::ofstream(folder.path() / "index.html") << "<html>my page</html>";
    const std::map<std::string, std::string> before = filesIn(folder.path());

    for (const fs::path& target : { folder.path(), folder.path() / "photos", folder.path() / "index.html" }) {
        RunResult run = gallery(phone, target);
        EXPECT_EQ(run.status, 2) << target;
        EXPECT_NE(run.err.find(target == folder.path() / "index.html" ? "not a folder" : "not a gallery's"), std::string::npos) << run.err;
        EXPECT_EQ(filesIn(folder.path()), before);
    }
    EXPECT_EQ(runProgram("kavrin-host", { "--root", phone.root(), "--gallery", folder.path().string(), "--live" }).status, 2);
}

}
}
