#include "base/message_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kavrin::testing {
namespace {

// Text from a script goes into a message on one line: plain text and whole UTF-8 characters stay
// as they are; line ends, tabs, other control bytes, bytes that are no UTF-8 (a stray
// continuation byte, a sequence cut short, an overlong form) and the escape characters
// themselves are written as escapes, so that the message can be read back unambiguously.
TEST(MessageText, EscapesWhatWouldBreakTheLine)
{
    EXPECT_EQ(host::escapedForMessage(""), "");
    EXPECT_EQ(host::escapedForMessage("tap 1 2"), "tap 1 2");
    EXPECT_EQ(host::escapedForMessage("Émile 山田 👩‍🚀"), "Émile 山田 👩‍🚀");
    EXPECT_EQ(host::escapedForMessage("a\nb\tc\rd"), "a\\nb\\tc\\rd");
    EXPECT_EQ(host::escapedForMessage(std::string("\x01\x1f\x7f\0", 4)), "\\x01\\x1f\\x7f\\x00");
    EXPECT_EQ(host::escapedForMessage("say \"hi\" \\ bye"), "say \\\"hi\\\" \\\\ bye");
    EXPECT_EQ(host::escapedForMessage("\x80"), "\\x80");
    EXPECT_EQ(host::escapedForMessage("\xe5\xb1 end"), "\\xe5\\xb1 end");
    EXPECT_EQ(host::escapedForMessage("\xc0\xaf"), "\\xc0\\xaf");
    EXPECT_EQ(host::escapedForMessage("\xff\xfe"), "\\xff\\xfe");
}

}
}
