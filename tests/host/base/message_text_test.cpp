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

namespace kavrin::testing {
namespace {

using host::quotedScriptText;

// A huge bad line makes a short message: cut after 200 bytes at a character's end, with the
// whole length said; a short one is quoted whole.
TEST(MessageText, LongScriptTextIsCut)
{
    EXPECT_EQ(quotedScriptText("tap\t1"), "tap\\t1");
    const std::string huge(100000, 'x');
    EXPECT_EQ(quotedScriptText(huge), std::string(200, 'x') + "... (100000 bytes in all)");
    // 199 bytes, then a two-byte character that would pass 200: cut before it.
    const std::string accented = std::string(199, 'a') + "\xC3\xA9" + std::string(10, 'b');
    EXPECT_EQ(quotedScriptText(accented), std::string(199, 'a') + "... (211 bytes in all)");
}

}
}
