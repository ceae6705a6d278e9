#include "support/host_harness.h"

#include <gtest/gtest.h>

#include <regex>

namespace kavrin::testing {
namespace {

// The demo phone holds fourteen favorites, and its databases answer the widget's queries:
// PNG and JPEG thumbnails where a contact has one, the bundle's placeholder photo where not,
// e-mail addresses that reach the chooser.
TEST(DemoPhone, WritesAPhoneTheWidgetCanShow)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    weeapp::sys::ValuePtr favorites = weeapp::sys::readPropertyListFile((phone.path() / PhoneRoot::kFavorites).string());
    ASSERT_EQ(weeapp::sys::count(favorites), 14u);
    EXPECT_EQ(weeapp::sys::description(weeapp::sys::objectForKey(weeapp::sys::objectAtIndex(favorites, 2), "Name")).front(), ' ');

    phone.writeSettings({ { "askForMail", weeapp::sys::Value::boolean(true) }, { "askForCall", weeapp::sys::Value::boolean(true) } });
    RunResult result = phone.host("view\ndump\ntap 44 44\npress 2\ntap 196 44\n");
    ASSERT_EQ(result.status, 0) << result.err;
    auto lines = result.lines();
    ASSERT_EQ(lines.size(), 4u) << result.out;

    std::regex image("\"image\": \\{\"source\": \"([^\"]+)\", \"width\": (\\d+)");
    std::vector<std::pair<std::string, int>> images;
    for (std::sregex_iterator it(lines[0].begin(), lines[0].end(), image), end; it != end; ++it)
        images.emplace_back((*it)[1], std::stoi((*it)[2]));
    ASSERT_GE(images.size(), 6u);
    std::erase_if(images, [](const auto& entry) { return entry.first.find("WeeAppBackground") != std::string::npos; });
    EXPECT_EQ(images[0], (std::pair<std::string, int> { "data", 120 }));
    EXPECT_EQ(images[1], (std::pair<std::string, int> { "data", 96 }));
    EXPECT_EQ(images[4], (std::pair<std::string, int> { "file:/System/Library/WeeAppPlugins/Kavrin.bundle/cImageCom.png", 64 }));

    EXPECT_TRUE(lines[1].find("\"buttons\": [\"Cancel\", \"Call\", \"E-Mail\"]") != std::string::npos) << lines[1];
    EXPECT_EQ(lines[2], "open mailto:anna.lindqvist@example.org");
    // Olek Brandt has no address, so his chooser offers no e-mail.
    EXPECT_TRUE(lines[3].find("\"buttons\": [\"Cancel\", \"Call\"]") != std::string::npos) << lines[3];
}

}
}
