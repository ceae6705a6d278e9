#include "support/host_harness.h"

#include <gtest/gtest.h>

#include <cairo.h>

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

RunResult gallery(const PhoneRoot& phone, const fs::path& folder, std::vector<std::string> more = {})
{
    std::vector<std::string> arguments { "--root", phone.root(), "--scale", "1", "--gallery", folder.string() };
    arguments.insert(arguments.end(), more.begin(), more.end());
    return runProgram("kavrin-host", arguments);
}

// Changes one pixel of a PNG file.
void changeOnePixel(const fs::path& file, int x, int y)
{
    const weeapp::CairoSurface owned(cairo_image_surface_create_from_png(file.c_str()));
    cairo_surface_t* picture = owned.get();
    ASSERT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
    cairo_surface_flush(picture);
    auto* row = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(picture) + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(picture));
    row[x] ^= 0x00ffffff;
    cairo_surface_mark_dirty(picture);
    ASSERT_EQ(cairo_surface_write_to_png(picture, file.c_str()), CAIRO_STATUS_SUCCESS);
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
    // Standard output names the pictures and nothing else (not the chooser's alerts).
    for (const std::string& line : lines)
        EXPECT_TRUE(line.starts_with("picture ") || line.starts_with("contact sheet ") || line.starts_with("index ")) << line;
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

// A gallery compared with an earlier one: with itself nothing is found (status 0, no diff
// pictures); one changed pixel is found with its share and drawn, a tolerance lets it pass as
// the same everywhere (not printed, not drawn, not on the page), and states only one of the two
// has are listed and fail the comparison. A gallery that was itself compared is a baseline like
// any other: what its comparison wrote is no state of it.
TEST(Gallery, ComparesWithAnEarlierGallery)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    TemporaryFolder work;
    const fs::path old = work.path() / "old", now = work.path() / "new";
    ASSERT_EQ(gallery(phone, old).status, 0);

    RunResult same = gallery(phone, now, { "--against", old.string() });
    EXPECT_EQ(same.status, 0) << same.out << same.err;
    EXPECT_EQ(same.out.find("changed "), std::string::npos) << same.out;
    EXPECT_FALSE(fs::exists(now / "diff"));
    EXPECT_FALSE(fs::exists(now / "diff.png"));
    EXPECT_EQ(linesOf(same.out).back(), "diff " + (now / "diff.html").string());

    // At scale 1 a standard picture is 320 by 114 pixels: one pixel is 1/36480 of it.
    const std::string state = "standard-labels-bg-4-page-1.png";
    changeOnePixel(old / state, 100, 50);
    RunResult changed = gallery(phone, now, { "--against", old.string() });
    EXPECT_EQ(changed.status, 1) << changed.err;
    EXPECT_NE(changed.out.find("changed " + state + " 0.000027\n"), std::string::npos) << changed.out;
    EXPECT_NE(changed.out.find("diff sheet " + (now / "diff.png").string() + "\n"), std::string::npos) << changed.out;
    EXPECT_EQ(changed.err.find("cannot write"), std::string::npos) << changed.err;
    Picture diff(now / "diff" / state);
    ASSERT_TRUE(diff.valid());
    EXPECT_TRUE(diff.near(100, 50, { 255, 0, 255 }, 0));
    EXPECT_FALSE(diff.near(101, 50, { 255, 0, 255 }, 60));
    EXPECT_EQ(std::distance(fs::directory_iterator(now / "diff"), fs::directory_iterator()), 1);
    const Picture oneRow(now / "diff.png");
    EXPECT_TRUE(oneRow.valid());
    EXPECT_NE(readFile(now / "diff.html").find("diff/" + state), std::string::npos);
    // Each changed state is one row of the diff sheet: the old picture, the new and the changes.
    changeOnePixel(old / "metro-mid-flip.png", 10, 10);
    ASSERT_EQ(gallery(phone, now, { "--against", old.string() }).status, 1);
    const Picture twoRows(now / "diff.png");
    EXPECT_EQ(twoRows.width(), oneRow.width());
    EXPECT_GT(twoRows.height(), oneRow.height());

    // A sheet or page that cannot be written (a folder with something in it in its place) fails
    // the comparison and says so, even when no state changed, and the folder stays.
    const fs::path blockedRun = work.path() / "blocked", itsCopy = work.path() / "blocked-copy";
    ASSERT_EQ(gallery(phone, blockedRun).status, 0);
    fs::copy(blockedRun, itsCopy, fs::copy_options::recursive);
    fs::create_directories(blockedRun / "diff.html" / "keep");
    RunResult pageBlocked = gallery(phone, blockedRun, { "--against", itsCopy.string() });
    EXPECT_EQ(pageBlocked.status, 1);
    EXPECT_EQ(pageBlocked.out.find("changed "), std::string::npos) << pageBlocked.out;
    EXPECT_NE(pageBlocked.err.find("cannot write " + (blockedRun / "diff.html").string()), std::string::npos) << pageBlocked.err;
    EXPECT_TRUE(fs::is_directory(blockedRun / "diff.html" / "keep"));
    fs::create_directories(blockedRun / "diff.png" / "keep");
    RunResult sheetBlocked = gallery(phone, blockedRun, { "--against", old.string() });
    EXPECT_EQ(sheetBlocked.status, 1);
    EXPECT_NE(sheetBlocked.err.find("cannot write " + (blockedRun / "diff.png").string()), std::string::npos) << sheetBlocked.err;
    EXPECT_EQ(sheetBlocked.out.find("diff sheet "), std::string::npos) << sheetBlocked.out;

    // Each build against the last one: the gallery just compared, with its diff sheet, page and
    // pictures, is the next one's baseline, and the same pictures pass.
    const fs::path next = work.path() / "next";
    RunResult chained = gallery(phone, next, { "--against", now.string() });
    EXPECT_EQ(chained.status, 0) << chained.out;
    EXPECT_EQ(chained.out.find("only-"), std::string::npos) << chained.out;
    EXPECT_EQ(chained.out.find("changed "), std::string::npos) << chained.out;

    RunResult tolerated = gallery(phone, now, { "--against", old.string(), "--tolerance", "0.001" });
    EXPECT_EQ(tolerated.status, 0) << tolerated.err;
    EXPECT_EQ(tolerated.out.find("changed "), std::string::npos) << tolerated.out;
    EXPECT_FALSE(fs::exists(now / "diff"));
    EXPECT_FALSE(fs::exists(now / "diff.png"));
    EXPECT_EQ(readFile(now / "diff.html").find(state), std::string::npos);
    // Just over the tolerance it counts; a share at the tolerance passes, even a whole picture's.
    RunResult over = gallery(phone, now, { "--against", old.string(), "--tolerance", "0.000026" });
    EXPECT_EQ(over.status, 1);
    EXPECT_NE(over.out.find("changed " + state), std::string::npos) << over.out;
    const std::string kept = readFile(old / state);
    fs::copy_file(old / "metro-mid-flip.png", old / state, fs::copy_options::overwrite_existing); // another size: all of it changed
    RunResult whole = gallery(phone, now, { "--against", old.string(), "--tolerance", "1" });
    EXPECT_EQ(whole.status, 0) << whole.out;
    EXPECT_EQ(whole.out.find("changed "), std::string::npos) << whole.out;
    std::ofstream(old / state, std::ios::binary | std::ios::trunc) << kept;

    // A state only one of the two galleries has fails the comparison by itself.
    fs::rename(old / "no-favorites.png", work.path() / "no-favorites.png");
    RunResult onlyNew = gallery(phone, now, { "--against", old.string(), "--tolerance", "0.001" });
    EXPECT_EQ(onlyNew.status, 1) << onlyNew.out;
    fs::rename(work.path() / "no-favorites.png", old / "no-favorites.png");
    fs::copy_file(old / state, old / "retired-state.png");
    RunResult onlyOld = gallery(phone, now, { "--against", old.string(), "--tolerance", "0.001" });
    EXPECT_EQ(onlyOld.status, 1) << onlyOld.out;
    fs::remove(old / "no-favorites.png");
    RunResult listed = gallery(phone, now, { "--against", old.string(), "--tolerance", "0.001" });
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.out.find("only-new no-favorites.png\n"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("only-old retired-state.png\n"), std::string::npos) << listed.out;
    // The page shows each of them with the picture it has and no diff; a picture that is no PNG
    // has changed wholly, with no diff either.
    std::ofstream(old / "metro-mid-flip.png") << "not a picture";
    RunResult broken = gallery(phone, now, { "--against", old.string(), "--tolerance", "0.001" });
    EXPECT_NE(broken.out.find("changed metro-mid-flip.png 1.000000\n"), std::string::npos) << broken.out;
    const std::string page = readFile(now / "diff.html");
    EXPECT_NE(page.find("<img src=\"no-favorites.png\" alt=\"new\">"), std::string::npos) << page;
    EXPECT_NE(page.find("retired-state.png\" alt=\"old\">"), std::string::npos) << page;
    EXPECT_EQ(page.find("alt=\"diff\""), std::string::npos) << page;
    EXPECT_NE(page.find("<tr><td class=\"changed\">metro, a tile mid-flip<br>changed 1.000000</td>"), std::string::npos) << page;
    EXPECT_NE(page.find("<tr><td class=\"only\">no favorites<br>only-new</td><td></td>"), std::string::npos) << page;
    EXPECT_NE(page.find("<tr><td class=\"only\">retired-state.png<br>only-old</td>"), std::string::npos) << page;
    EXPECT_TRUE(page.ends_with("</table></body></html>\n")) << page;

    RunResult strict = gallery(phone, now, { "--against", (work.path() / "missing").string() });
    EXPECT_EQ(strict.status, 2);
}

// --against refuses, before anything is written, the gallery's own folder (by any spelling or
// link: its pictures would be replaced by those compared with them) and a folder that is no
// gallery (every state would be "only-new").
TEST(Gallery, RefusesToCompareWithItselfOrWithWhatIsNoGallery)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    TemporaryFolder work;
    const fs::path baseline = work.path() / "baseline";
    ASSERT_EQ(gallery(phone, baseline).status, 0);
    changeOnePixel(baseline / "no-favorites.png", 1, 1);
    fs::create_directory_symlink(baseline, work.path() / "link");
    const std::map<std::string, std::string> before = filesIn(baseline);
    for (const fs::path& against : { baseline, fs::path(baseline.string() + "/"), baseline / "." / "", work.path() / "link" }) {
        RunResult itself = gallery(phone, baseline, { "--against", against.string() });
        EXPECT_EQ(itself.status, 2) << against;
        EXPECT_NE(itself.err.find("is the gallery's own folder"), std::string::npos) << itself.err;
        EXPECT_TRUE(itself.out.empty()) << itself.out;
        EXPECT_EQ(filesIn(baseline), before);
    }
    const fs::path photos = work.path() / "photos";
    fs::create_directories(photos);
    fs::copy_file(baseline / "no-favorites.png", photos / "no-favorites.png");
    RunResult noGallery = gallery(phone, work.path() / "new", { "--against", photos.string() });
    EXPECT_EQ(noGallery.status, 2);
    EXPECT_NE(noGallery.err.find(photos.string() + " is no gallery"), std::string::npos) << noGallery.err;
    EXPECT_EQ(noGallery.out.find("only-new"), std::string::npos) << noGallery.out;
    EXPECT_FALSE(fs::exists(work.path() / "new"));
}

// A gallery is a baseline: two phones with the same favorites and address books give the same
// gallery byte for byte, whatever their settings held before (here the metro look in yellow,
// which a controller that lived through it keeps on its container in the standard look).
TEST(Gallery, DoesNotDependOnThePhonesSettings)
{
    PhoneRoot plain;
    plain.writeDemoPhone();
    PhoneRoot leftovers;
    leftovers.writeDemoPhone();
    leftovers.writeSettings({ { "metroStyle", weeapp::sys::Value::boolean(true) }, { "metroBackground", weeapp::sys::Value::integer(2) },
        { "tilesAlign", weeapp::sys::Value::integer(3) }, { "showLabels", weeapp::sys::Value::boolean(false) }, { "fiveIcons", weeapp::sys::Value::boolean(true) } });
    TemporaryFolder work;
    ASSERT_EQ(gallery(plain, work.path() / "plain").status, 0);
    ASSERT_EQ(gallery(leftovers, work.path() / "leftovers").status, 0);
    const std::map<std::string, std::string> fromPlain = filesIn(work.path() / "plain"), fromLeftovers = filesIn(work.path() / "leftovers");
    ASSERT_EQ(fromPlain.size(), fromLeftovers.size());
    for (const auto& [name, bytes] : fromPlain)
        EXPECT_TRUE(fromLeftovers.at(name) == bytes) << name;
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
