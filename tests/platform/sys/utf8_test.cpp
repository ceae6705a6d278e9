#include <weeapp/sys/utf8.h>
#include <weeapp/ui/inspection/json_text.h>

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace std::string_literals;

// Well-formed UTF-8 at its edges passes; stray continuation bytes, overlong forms, surrogates,
// code points above U+10FFFF and cut-off sequences do not. A NUL is a character.
TEST(Utf8, JudgesEveryForm)
{
    for (const std::string& good : { ""s, "plain"s, "a\0b"s, "\xC2\x80"s, "\xDF\xBF"s, "\xE0\xA0\x80"s, "\xED\x9F\xBF"s, "\xEE\x80\x80"s,
             "\xF0\x90\x80\x80"s, "\xF4\x8F\xBF\xBF"s, "J\xC3\xBCrgen \xE2\x82\xAC"s }) {
        EXPECT_TRUE(weeapp::sys::isValidUtf8(good)) << good;
        EXPECT_EQ(weeapp::sys::validUtf8(good), good);
    }
    for (const std::string& bad : { "\x80"s, "\xC0\x80"s, "\xC1\xBF"s, "\xE0\x9F\xBF"s, "\xED\xA0\x80"s, "\xF0\x8F\xBF\xBF"s,
             "\xF4\x90\x80\x80"s, "\xF5\x80\x80\x80"s, "\xFF"s, "\xE2\x82"s, "ok\0\xC3"s })
        EXPECT_FALSE(weeapp::sys::isValidUtf8(bad)) << bad;

    EXPECT_EQ(weeapp::sys::utf8SequenceLength(""), 0u);
    EXPECT_EQ(weeapp::sys::utf8SequenceLength("\0x"s), 1u);
    EXPECT_EQ(weeapp::sys::utf8SequenceLength("\xE2\x82\xAC tail"), 3u);
    EXPECT_EQ(weeapp::sys::utf8SequenceLength("\xE2\x82"), 0u);
    // Each byte that starts no character becomes one replacement character.
    EXPECT_EQ(weeapp::sys::validUtf8("a\xFF\xFE"
                                     "b\xE2\x82"),
        "a\xEF\xBF\xBD\xEF\xBF\xBD"
        "b\xEF\xBF\xBD\xEF\xBF\xBD");
}

// The JSON text keeps members in order, writes floats as their shortest text and escapes what
// must be escaped, with \ufffd for each byte that is not UTF-8.
TEST(Utf8, JsonTextWritesTheDumpStyle)
{
    weeapp::ui::Json value { { "b", 0.1f }, { "a", weeapp::ui::Json::array({ 1, -0.0f, 2.5f, nullptr, true }) }, { "s", "q\"\\\n\t\x01\x7F\xFF\xC3\xA4" },
        { "nan", std::numeric_limits<float>::quiet_NaN() }, { "big", std::uint64_t { 18446744073709551615u } }, { "o", weeapp::ui::Json::object() } };
    EXPECT_EQ(weeapp::ui::jsonText(value),
        R"({"b": 0.1, "a": [1, 0, 2.5, null, true], "s": "q\"\\\n\t\u0001\u007f\ufffd)"
        "\xC3\xA4"
        R"(", "nan": null, "big": 18446744073709551615, "o": {}})");
    weeapp::ui::Json back = weeapp::ui::Json::parse(weeapp::ui::jsonText(value));
    EXPECT_EQ(back.begin().key(), "b");
    EXPECT_EQ(back.at("s"), "q\"\\\n\t\x01\x7F\xEF\xBF\xBD\xC3\xA4");
}

}
