#include "support/host_harness.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <map>
#include <regex>

namespace kavrin::testing {
namespace {

constexpr Picture::Rgb kWhite { 255, 255, 255 };
constexpr Picture::Rgb kMagenta { 255, 0, 255 };

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override { phone.writeDemoPhone(); }

    // Runs the script with "render NAME" lines resolved into the phone's folder.
    RunResult run(const std::string& script, const std::vector<std::string>& options = {})
    {
        std::string resolved = std::regex_replace(script, std::regex("(render|record) (\\S+)"), "$1 " + phone.root() + "/$2");
        RunResult result = phone.host(resolved, options);
        EXPECT_EQ(result.status, 0) << result.err;
        return result;
    }
    Picture picture(const std::string& name) { return Picture(phone.path() / name); }

    PhoneRoot phone;
};

// On the metro page 2 the six little tiles leave a 2-point strip, and the empty second row,
// in the metro background colour; photos cover the rest.
TEST_F(RendererTest, MetroGapsShowTheBackgroundColour)
{
    phone.writeSettings({ { "metroStyle", sys::Value::boolean(true) }, { "metroBackground", sys::Value::integer(4) } });
    run("view\nrender page1.png\nscroll 320\nrender page2.png\n");
    Picture first = picture("page1.png"), second = picture("page2.png");
    ASSERT_TRUE(first.valid() && second.valid());
    EXPECT_EQ(first.width(), 320);
    EXPECT_EQ(first.height(), 106);
    EXPECT_FALSE(first.near(50, 20, kMagenta, 40));
    EXPECT_TRUE(second.near(318, 20, kMagenta)) << second.at(318, 20).red;
    EXPECT_TRUE(second.near(319, 50, kMagenta));
    EXPECT_TRUE(second.near(100, 80, kMagenta));
    EXPECT_FALSE(second.near(20, 20, kMagenta, 40));
}

// A standard tile's photo fills its 64-point frame but its corners are cut round, showing the
// ground behind the widget there.
TEST_F(RendererTest, PhotoSitsInsideItsRoundedFrame)
{
    phone.writeSettings({});
    run("view\nrender standard.png\n");
    Picture shot = picture("standard.png");
    ASSERT_TRUE(shot.valid());
    EXPECT_EQ(shot.height(), 114);
    // The first tile spans 14 ... 78 in the picture (container at 2, tile at 12).
    for (auto [x, y] : { std::pair { 14, 14 }, { 77, 14 }, { 14, 77 }, { 77, 77 }, { 12, 40 } })
        EXPECT_TRUE(shot.near(x, y, kGround)) << x << "," << y;
    for (auto [x, y] : { std::pair { 16, 46 }, { 46, 16 }, { 46, 46 }, { 75, 46 } })
        EXPECT_FALSE(shot.near(x, y, kGround, 20)) << x << "," << y;
}

// The page dot of the page in view is bright, the others dim, and the bright one moves with a
// scroll: fourteen favorites make four dots centred under the tiles.
TEST_F(RendererTest, VisiblePageDotIsTheBrightOne)
{
    phone.writeSettings({});
    run("view\nrender first.png\nscroll 316\nrender second.png\n");
    Picture first = picture("first.png"), second = picture("second.png");
    ASSERT_TRUE(first.valid() && second.valid());
    const int y = 2 + 95 + 7, firstDot = 2 + 134, secondDot = firstDot + 16;
    EXPECT_TRUE(first.near(firstDot, y, kWhite));
    EXPECT_FALSE(first.near(secondDot, y, kWhite, 60));
    EXPECT_TRUE(second.near(secondDot, y, kWhite));
    EXPECT_FALSE(second.near(firstDot, y, kWhite, 60));
}

// Under the background image the dots are white on the dark backdrop and dark on the light one,
// so that the current page and the others stand out from the ground on both; the dark backdrop's
// picture is as it always was (white dots).
TEST_F(RendererTest, PageDotsShowOnEveryBackdrop)
{
    phone.writeSettings({ { "showBg", sys::Value::boolean(true) } });
    run("view\nrender dark.png\n", { "--scale", "2" });
    run("view\nrender light.png\n", { "--scale", "2", "--backdrop", "light" });
    const auto brightness = [](const Picture& picture, int x, int y) {
        Picture::Rgb pixel = picture.at(x, y);
        return (pixel.red + pixel.green + pixel.blue) / 3;
    };
    // The first dot (current), the second and the ground between them, in pixels at 2x.
    const int y = 208, current = 270, other = 302, ground = 290;
    Picture dark = picture("dark.png"), light = picture("light.png");
    ASSERT_TRUE(dark.valid() && light.valid());
    EXPECT_GT(brightness(dark, current, y), brightness(dark, other, y) + 20);
    EXPECT_GT(brightness(dark, other, y), brightness(dark, ground, y) + 12);
    EXPECT_LT(brightness(light, current, y) + 20, brightness(light, other, y));
    EXPECT_LT(brightness(light, other, y) + 12, brightness(light, ground, y));
}

// A flip in progress is drawn turned: the flipping tile no longer reaches its left edge, which
// shows the background, while every other tile is drawn flat; after the flip the tile is faded.
TEST_F(RendererTest, RunningFlipIsDrawnTurning)
{
    phone.writeSettings({ { "metroStyle", sys::Value::boolean(true) }, { "metroBackground", sys::Value::integer(6) } });
    // Five favorites of the demo's address book, all on the first page.
    sys::Array favorites;
    for (int id : { 101, 102, 103, 104, 106 })
        favorites.push_back(favorite("Contact " + std::to_string(id), id, "iPhone", "1"));
    phone.writeFavorites(std::move(favorites));
    RunResult result = run(
        "view\nappear\nwait 2.4\nrender before.png\nwait 0.35\nrender during.png\ndump\nwait 1\nrender after.png\n"
        "record flip.apng 3\n");
    std::smatch found;
    std::regex flipped("\\{\"class\": \"Button\", \"frame\": \\[(\\d+), (\\d+), (\\d+), (\\d+)\\], \"tag\": \\d+, \"hidden\": false, \"alpha\": 0\\.05");
    ASSERT_TRUE(std::regex_search(result.out, found, flipped)) << result.out;
    int x = std::stoi(found[1]), y = std::stoi(found[2]), width = std::stoi(found[3]);
    Picture before = picture("before.png"), during = picture("during.png"), after = picture("after.png");
    ASSERT_TRUE(before.valid() && during.valid() && after.valid());
    EXPECT_FALSE(before.near(x + 2, y + 2, kWhite, 10));
    EXPECT_TRUE(during.near(x + 2, y + 2, kWhite, 10));
    EXPECT_TRUE(during.near(x + width - 3, y + 2, kWhite, 10));
    EXPECT_TRUE(after.near(x + 2, y + 2, kWhite, 20));

    std::string animation = readFile(phone.path() / "flip.apng");
    ASSERT_GT(animation.size(), 8u);
    EXPECT_EQ(animation.substr(1, 3), "PNG");
    auto actl = animation.find("acTL");
    ASSERT_NE(actl, std::string::npos);
    auto frames = static_cast<unsigned char>(animation[actl + 7]);
    std::size_t controls = 0;
    for (auto at = animation.find("fcTL"); at != std::string::npos; at = animation.find("fcTL", at + 4))
        ++controls;
    EXPECT_GT(frames, 1);
    EXPECT_EQ(controls, frames);
}

// Every name label draws its own text, in every frame, also when it stands half out of view:
// label pictures of two tiles differ, a second frame equals the first, and a label cut by the
// left edge after a scroll still shows its white letters.
TEST_F(RendererTest, LabelsDrawTheirOwnTextEvenHalfInView)
{
    phone.writeSettings({});
    run("view\nrender first.png\nrender again.png\nscroll 270\nrender scrolled.png\n");
    Picture first = picture("first.png"), again = picture("again.png"), scrolled = picture("scrolled.png");
    ASSERT_TRUE(first.valid() && again.valid() && scrolled.valid());
    // Name labels stand under the tiles: y 76 to 96 in the widget, which starts at (2, 2).
    const auto whitePixels = [](const Picture& shot, int left, int right) {
        int count = 0;
        for (int y = 2 + 76; y < 2 + 96; ++y) {
            for (int x = left; x < right; ++x)
                count += shot.near(x, y, kWhite, 60) ? 1 : 0;
        }
        return count;
    };
    int differing = 0;
    for (int y = 2 + 76; y < 2 + 96; ++y) {
        for (int x = 0; x < 64; ++x) {
            const Picture::Rgb a = first.at(2 + 12 + x, y), b = first.at(2 + 88 + x, y);
            differing += a.red != b.red || a.green != b.green || a.blue != b.blue;
            const Picture::Rgb c = again.at(2 + 12 + x, y);
            EXPECT_TRUE(first.near(2 + 12 + x, y, c, 0));
        }
    }
    EXPECT_GT(differing, 50);
    EXPECT_GT(whitePixels(first, 2 + 12, 2 + 76), 8);
    // The fourth tile's label spans 240 to 304 of the content; scrolled by 270 it shows from the
    // left edge to 34.
    EXPECT_GT(whitePixels(scrolled, 2, 2 + 34), 5);
}

// The mean over all channels of how far the picture at the scale, each square of scale by scale
// pixels averaged into one, lies from the picture at one to one; -1 when the sizes differ.
double meanDifferenceShrunk(const Picture& scaled, const Picture& single, int scale)
{
    if (scaled.width() != single.width() * scale || scaled.height() != single.height() * scale)
        return -1;
    double total = 0;
    for (int y = 0; y < single.height(); ++y) {
        for (int x = 0; x < single.width(); ++x) {
            int red = 0, green = 0, blue = 0;
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    Picture::Rgb pixel = scaled.at(x * scale + dx, y * scale + dy);
                    red += pixel.red, green += pixel.green, blue += pixel.blue;
                }
            }
            Picture::Rgb one = single.at(x, y);
            int area = scale * scale;
            total += std::abs(red / double(area) - one.red) + std::abs(green / double(area) - one.green) + std::abs(blue / double(area) - one.blue);
        }
    }
    return total / (3.0 * single.width() * single.height());
}

// A recording at 2x holds the frames as render draws them, pixel for pixel: its first frame (the
// image a viewer without animation shows) is the still picture of the same moment, not a copy
// shrunk into a corner.
TEST_F(RendererTest, RecordingsKeepTheScaleOfTheirFrames)
{
    run("view\nappear\nrender still.png\nrecord clip.png 0.02\n", { "--scale", "2" });
    Picture still = picture("still.png"), clip = picture("clip.png");
    ASSERT_TRUE(still.valid() && clip.valid());
    EXPECT_EQ(clip.width(), still.width());
    EXPECT_TRUE(clip == still);
}

// A picture at scale 2 or 3 is exactly that many times the 1x picture on each side, and drawn
// at device pixels it still shows the same thing: shrunk back to 1x it lies within 2.5 levels
// of 255 of the 1x picture on average (measured: 0.5 to 1.3, where only the edges of glyphs
// and curves differ), for the standard look, its second page and the chooser alert.
TEST_F(RendererTest, ScaledPicturesAreTheSamePictureSharper)
{
    phone.writeSettings({ { "askForCall", sys::Value::boolean(true) } });
    const std::string script = "view\nappear\nrender standard.png\nscroll 316\nrender page2.png\ntap 44 44\nrender alert.png\n";
    run(script);
    std::map<int, std::vector<Picture>> pictures;
    for (int scale : { 1, 2, 3 }) {
        std::string suffix = std::to_string(scale) + ".png";
        std::string renamed = std::regex_replace(script, std::regex("\\.png"), suffix);
        run(renamed, { "--scale", std::to_string(scale) });
        for (const char* name : { "standard", "page2", "alert" })
            pictures[scale].push_back(picture(name + suffix));
    }
    // Script coordinates are points at every scale: the same tile and page at each.
    Picture single = picture("standard.png");
    EXPECT_EQ(single.width(), 320);
    EXPECT_EQ(single.height(), 114);
    for (std::size_t i = 0; i < 3; ++i) {
        const Picture& one = pictures[1][i];
        ASSERT_TRUE(one.valid());
        for (int scale : { 2, 3 }) {
            const Picture& many = pictures[scale][i];
            ASSERT_TRUE(many.valid());
            EXPECT_EQ(many.width(), one.width() * scale);
            EXPECT_EQ(many.height(), one.height() * scale);
            double difference = meanDifferenceShrunk(many, one, scale);
            EXPECT_GE(difference, 0);
            EXPECT_LT(difference, 2.5) << "picture " << i << " at " << scale;
        }
    }
}

// The backdrop fills the picture around the widget: the dark ground by default, a light one, a
// wallpaper under a dimming veil, or nothing (transparent) with none; the widget itself is the
// same on each, and a backdrop that is no picture is a usage error.
TEST_F(RendererTest, BackdropsFillAroundTheWidget)
{
    phone.writeSettings({});
    const weeapp::CairoSurface wallpaper(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 30));
    {
        const weeapp::CairoContext cr(cairo_create(wallpaper.get()));
        cairo_set_source_rgb(cr.get(), 0, 1, 0);
        cairo_paint(cr.get());
    }
    ASSERT_EQ(cairo_surface_write_to_png(wallpaper.get(), (phone.path() / "wallpaper.png").c_str()), CAIRO_STATUS_SUCCESS);

    run("view\nrender dark.png\n");
    run("view\nrender light.png\n", { "--backdrop", "light" });
    run("view\nrender wall.png\n", { "--backdrop", (phone.path() / "wallpaper.png").string() });
    run("view\nrender none.png\n", { "--backdrop", "none" });
    Picture dark = picture("dark.png"), light = picture("light.png"), wall = picture("wall.png"), none = picture("none.png");
    ASSERT_TRUE(dark.valid() && light.valid() && wall.valid() && none.valid());
    EXPECT_TRUE(dark.near(0, 0, kGround, 1));
    EXPECT_TRUE(light.near(0, 0, { 235, 237, 242 }, 2));
    EXPECT_TRUE(wall.near(0, 0, { 0, 140, 0 }, 3)) << wall.at(0, 0).green;
    EXPECT_EQ(none.alpha(0, 0), 0);
    EXPECT_EQ(dark.height(), light.height());
    // The middle of the first photo is the same on every backdrop.
    for (const Picture* other : { &light, &wall, &none })
        EXPECT_TRUE(other->near(46, 46, dark.at(46, 46), 0));

    RunResult bad = phone.host("view\n", { "--backdrop", (phone.path() / "missing.png").string() });
    EXPECT_EQ(bad.status, 2);
}

// A shown alert is drawn over the widget, and the picture grows to hold it.
TEST_F(RendererTest, AlertIsDrawnOnTop)
{
    phone.writeSettings({ { "askForMail", sys::Value::boolean(true) } });
    run("view\nrender plain.png\ntap 44 44\nrender alert.png\npress 0\nrender again.png\n");
    Picture plain = picture("plain.png"), alert = picture("alert.png"), again = picture("again.png");
    ASSERT_TRUE(plain.valid() && alert.valid() && again.valid());
    EXPECT_GT(alert.height(), plain.height());
    EXPECT_EQ(again.height(), plain.height());
    EXPECT_FALSE(alert.near(160, alert.height() / 2, kGround, 30));
    EXPECT_TRUE(alert.near(2, 2, { 23, 24, 26 }, 10)) << alert.at(2, 2).red;
}

}
}
