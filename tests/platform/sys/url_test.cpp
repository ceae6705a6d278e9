#include <weeapp/sys/url.h>

#include <gtest/gtest.h>

using namespace sys;

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
