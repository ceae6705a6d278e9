#include "sys/application.h"
#include "sys/url.h"

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

// openURL hands URLs to the installed handler and reports whether it took them.
TEST(URL, ApplicationOpensThroughItsHandler)
{
    Application& application = Application::sharedApplication();
    application.setOpenURLHandler(nullptr);
    EXPECT_FALSE(application.openURL(URL::URLWithString("tel:1")));

    std::vector<std::string> opened;
    application.setOpenURLHandler([&](const URL& url) {
        opened.push_back(url.absoluteString());
        return url.scheme() != "http";
    });
    EXPECT_TRUE(application.openURL(URL::URLWithString("sms:2")));
    EXPECT_FALSE(application.openURL(URL::URLWithString("http://x")));
    EXPECT_FALSE(application.openURL(nullptr));
    EXPECT_EQ(opened, (std::vector<std::string> { "sms:2", "http://x" }));
    application.setOpenURLHandler(nullptr);
}
