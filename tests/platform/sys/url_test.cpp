#include <weeapp/sys/url.h>

#include <gtest/gtest.h>

#include <string>

using namespace weeapp::sys;

// Legal URL text builds a URL; any illegal character or escape gives none.
TEST(URL, OnlyLegalTextMakesAURL)
{
    for (const char* legal : { "tel:+4930123456", "sms:0171-555", "mailto:ann@example.org", "http://x.org/a?b=c&d=%2F#top",
             "tel:*31#", "x:!$&'()*+,-./:;=?@_~[]" }) {
        URLPtr url = URL::URLWithString(legal);
        ASSERT_NE(url, nullptr) << legal;
        EXPECT_EQ(url->absoluteString(), legal);
    }
    for (const char* illegal : { "", "tel:030 1234", "mailto:zoë@example.org", "tel:1\n", "a\"b", "<x>", "a\\b", "a^b", "a`b",
             "a{b}", "a|b", "a%2", "a%zz", "a%", "a#b#c", "\x7f" })
        EXPECT_EQ(URL::URLWithString(illegal), nullptr) << illegal;

    EXPECT_EQ(URL::URLWithString("tel:123")->scheme(), "tel");
    EXPECT_EQ(URL::URLWithString("nothing")->scheme(), "");
}

// Every byte value, alone in a URL and as either digit of an escape: letters, digits and the
// listed punctuation are legal, hex digits of either case complete an escape, nothing else does.
TEST(URL, EveryByteAndEveryEscapeDigit)
{
    const std::string legal = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!$&'()*+,-./:;=?@_~[]#";
    const std::string hex = "0123456789abcdefABCDEF";
    for (int value = 1; value < 256; ++value) {
        const char c = static_cast<char>(value);
        SCOPED_TRACE(value);
        EXPECT_EQ(URL::URLWithString(std::string("x:a") + c + "b") != nullptr, legal.find(c) != std::string::npos);
        const bool isHex = hex.find(c) != std::string::npos;
        EXPECT_EQ(URL::URLWithString(std::string("x:%") + c + "0") != nullptr, isHex);
        EXPECT_EQ(URL::URLWithString(std::string("x:%0") + c) != nullptr, isHex);
    }
}
