#include "widget/support/phone_fixture.h"

#include <weeapp/ui/inspection/view_dump.h>

#include <map>
#include <regex>

namespace kavrin::testing {
namespace {

using weeapp::sys::Value;

struct LayoutExample {
    const char* look;
    weeapp::sys::Dictionary settings;
    int favorites;
    std::string contentSize;
    int pages;
    std::map<int, std::string> buttonFrames; // tag to the frame as the dump writes it
};

// Every button's frame by its tag, read out of the dump.
std::map<int, std::string> buttonFramesIn(const std::string& dump)
{
    static const std::regex button(R"re("class": "Button", "frame": \[([^\]]*)\], "tag": (-?\d+))re");
    std::map<int, std::string> frames;
    for (auto match = std::sregex_iterator(dump.begin(), dump.end(), button); match != std::sregex_iterator(); ++match)
        frames[std::stoi((*match)[2])] = (*match)[1];
    return frames;
}

weeapp::sys::Dictionary metro(int tilesAlign)
{
    return { { "metroStyle", Value::boolean(true) }, { "tilesAlign", Value::integer(tilesAlign) } };
}

using LayoutDumpTest = PhoneFixture;

// The measures the layouts are defined by, read back through the dump a host prints: page
// openings, row ends, the big tile, the 64-point and 46-point patterns' rows and overhang.
TEST_F(LayoutDumpTest, ExampleLayoutsInEveryLook)
{
    const std::vector<LayoutExample> examples {
        { "four a page", {}, 8, "[632, 110]", 2,
            { { 0, "12, 12, 64, 64" }, { 3, "240, 12, 64, 64" }, { 4, "328, 12, 64, 64" }, { 7, "556, 12, 64, 64" } } },
        { "five a page", { { "fiveIcons", Value::boolean(true) } }, 6, "[632, 93]", 2,
            { { 0, "6, 5, 56, 56" }, { 4, "254, 5, 56, 56" }, { 5, "322, 5, 56, 56" } } },
        { "metro default", { { "metroStyle", Value::boolean(true) } }, 22, "[960, 106]", 3,
            { { 0, "0, 0, 108, 108" }, { 1, "108, 0, 53, 53" }, { 4, "267, 0, 53, 53" }, { 5, "108, 53, 53, 53" },
                { 8, "267, 53, 53, 53" }, { 9, "320, 0, 53, 53" }, { 14, "585, 0, 53, 53" }, { 20, "585, 53, 53, 53" },
                { 21, "640, 0, 53, 53" } } },
        { "metro 64", metro(2), 8, "[640, 128]", 2,
            { { 0, "0, 0, 128, 128" }, { 3, "256, 0, 64, 64" }, { 4, "128, 64, 64, 64" }, { 7, "320, 0, 64, 64" } } },
        { "metro 46", metro(3), 18, "[640, 90]", 2,
            { { 0, "0, 0, 90, 90" }, { 5, "274, 0, 46, 46" }, { 10, "274, 46, 46, 46" }, { 11, "320, 0, 46, 46" },
                { 17, "596, 0, 46, 46" } } },
        { "metro 40", metro(4), 14, "[640, 80]", 2,
            { { 0, "0, 0, 80, 80" }, { 6, "280, 0, 40, 40" }, { 12, "280, 40, 40, 40" }, { 13, "320, 0, 40, 40" } } },
    };
    for (const LayoutExample& example : examples) {
        SCOPED_TRACE(example.look);
        writeSettings(example.settings);
        writeFavorites(numberedFavorites(example.favorites));
        controller = std::make_unique<KavrinController>();
        const std::string dump = weeapp::ui::dumpViewTree(*controller->view());

        EXPECT_NE(dump.find(R"("contentSize": )" + example.contentSize), std::string::npos) << dump;
        EXPECT_NE(dump.find(R"("pages": )" + std::to_string(example.pages) + ","), std::string::npos) << dump;
        const std::map<int, std::string> frames = buttonFramesIn(dump);
        ASSERT_EQ(frames.size(), static_cast<std::size_t>(example.favorites));
        EXPECT_EQ(frames.begin()->first, 0);
        EXPECT_EQ(frames.rbegin()->first, example.favorites - 1);
        for (const auto& [tag, frame] : example.buttonFrames)
            EXPECT_EQ(frames.at(tag), frame) << "tag " << tag;
    }
}

}
}
