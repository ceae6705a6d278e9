#include "session/command_output.h"

#include <weeapp/sys/url.h>
#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/view.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace kavrin::testing {
namespace {

// The plain mode prints one line a result, as scripts and their readers expect it; a written
// file and a tap's hit print nothing.
TEST(CommandOutput, PlainLinesForEachResult)
{
    std::ostringstream out;
    host::PlainOutput plain(out);
    weeapp::sys::URLPtr url = weeapp::sys::URL::URLWithString("tel:+491701112222");
    ASSERT_TRUE(url);
    plain.opened(*url);
    plain.height(110);
    plain.height(92.25f);
    plain.launch(url.get());
    plain.launch(nullptr);
    plain.dump(nullptr);
    plain.described(std::nullopt);
    plain.elements({});
    plain.wrote("frame.png");
    plain.hit(nullptr, nullptr);
    EXPECT_EQ(out.str(),
        "open tel:+491701112222\n"
        "height 110.0\n"
        "height 92.2\n"
        "launch tel:+491701112222\n"
        "launch none\n"
        "dump null\n"
        "describe null\n"
        "elements []\n");
}

// A JSON answer gathers what one command produced (URLs opened in order, the last height, the
// file, the control hit in the content view's coordinates) into one object; a failure answers
// with the line and the error alone, and nothing gathered reaches the next answer.
TEST(CommandOutput, OneJsonAnswerACommand)
{
    std::ostringstream out;
    host::JsonAnswer answer(out);
    weeapp::sys::URLPtr call = weeapp::sys::URL::URLWithString("tel:1");
    weeapp::sys::URLPtr text = weeapp::sys::URL::URLWithString("sms:2");
    ASSERT_TRUE(call && text);

    weeapp::ui::ViewPtr content = weeapp::ui::View::create({ 2, 2, 316, 110 });
    auto button = weeapp::ui::Button::buttonWithType(0);
    button->setFrame({ 10, 20, 30, 40 });
    button->setTag(7);
    content->addSubview(button);

    answer.opened(*call);
    answer.opened(*text);
    answer.height(110);
    answer.wrote("out/frame.png");
    answer.hit(button.get(), content.get());
    answer.succeed();

    answer.launch(nullptr);
    answer.fail(3, "no alert is shown");

    answer.hit(nullptr, nullptr);
    answer.succeed();

    std::istringstream lines(out.str());
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    weeapp::ui::Json first = weeapp::ui::Json::parse(line);
    EXPECT_EQ(first["ok"], true);
    EXPECT_EQ(first["open"], weeapp::ui::Json::array({ "tel:1", "sms:2" }));
    EXPECT_EQ(first["height"], 110);
    EXPECT_EQ(first["file"], "out/frame.png");
    EXPECT_EQ(first["hit"]["tag"], 7);
    EXPECT_EQ(first["hit"]["frame"], weeapp::ui::Json::array({ 10, 20, 30, 40 }));
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(weeapp::ui::Json::parse(line), (weeapp::ui::Json { { "ok", false }, { "line", 3 }, { "error", "no alert is shown" } }));
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(weeapp::ui::Json::parse(line), (weeapp::ui::Json { { "ok", true }, { "hit", nullptr } }));
    EXPECT_FALSE(std::getline(lines, line));
}

}
}
