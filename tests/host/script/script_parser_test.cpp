#include "script/script_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace kavrin::testing {
namespace {

using host::CommandWord;
using host::ParsedLine;
using host::ScriptCommand;

ScriptCommand parsed(const std::string& line, bool settingsAsGiven = false)
{
    ParsedLine result = host::parseScriptLine(line, settingsAsGiven);
    EXPECT_TRUE(result) << line << ": " << (result ? "" : result.error());
    EXPECT_TRUE(result && result->has_value()) << line;
    return result && *result ? **result : ScriptCommand {};
}

std::string refusal(const std::string& line, bool settingsAsGiven = false)
{
    ParsedLine result = host::parseScriptLine(line, settingsAsGiven);
    EXPECT_FALSE(result) << line << " was taken";
    return result ? std::string() : result.error();
}

// Each kind of operand is read into its place: numbers with an optional plus sign, the rest of
// the line as a file name (spaces and all), the last word of record as its seconds, set's value
// typed by the settings table. A "#" outside double quotes starts a comment.
TEST(ScriptParser, ReadsEachKindOfOperand)
{
    ScriptCommand tap = parsed("  tap 12.5\t-3  ");
    EXPECT_EQ(tap.word, CommandWord::Tap);
    EXPECT_EQ(tap.x, 12.5);
    EXPECT_EQ(tap.y, -3);

    EXPECT_EQ(parsed("wait +2 # two seconds").x, 2);
    EXPECT_EQ(parsed("page 3").index, 3);
    EXPECT_EQ(parsed("press 0").index, 0);
    EXPECT_EQ(parsed("scroll -40.25").x, -40.25);
    EXPECT_EQ(parsed("unset metroStyle").key, "metroStyle");
    EXPECT_EQ(parsed("render out dir/first frame.png").file, "out dir/first frame.png");
    EXPECT_EQ(parsed("render \"a#b\".png # the quoted # is the name's").file, "\"a#b\".png");

    ScriptCommand record = parsed("record flip 2.png 1.5");
    EXPECT_EQ(record.word, CommandWord::Record);
    EXPECT_EQ(record.file, "flip 2.png");
    EXPECT_EQ(record.x, 1.5);

    ScriptCommand set = parsed("set metroStyle true");
    EXPECT_EQ(set.key, "metroStyle");
    ASSERT_TRUE(set.value);
    EXPECT_TRUE(set.value->boolValue());

    // Every white space of a line separates, a line's carriage return included; a backslash in
    // quotes keeps the next character, even a quote, from closing them.
    ScriptCommand spaced = parsed("tap\v7\f-8\r");
    EXPECT_EQ(spaced.x, 7);
    EXPECT_EQ(spaced.y, -8);
    EXPECT_EQ(parsed("view\r").word, CommandWord::View);
    EXPECT_EQ(parsed("render \"a\\\"#b\".png # comment").file, "\"a\\\"#b\".png");
    EXPECT_EQ(parsed("render \"a\\").file, "\"a\\");
    EXPECT_EQ(parsed("record clip.png \t 2").file, "clip.png");

    // The bounds themselves are allowed.
    EXPECT_EQ(parsed("tap 3.4028234663852886e38 -3.4028234663852886e38").x, 3.4028234663852886e38);
    EXPECT_EQ(parsed("scroll -3.4028234663852886e38").x, -3.4028234663852886e38);
    EXPECT_EQ(parsed("wait 0").x, 0);
    EXPECT_EQ(parsed("press 1000000").index, 1000000);
    EXPECT_EQ(parsed("page 1000000").index, 1000000);
    EXPECT_EQ(parsed("page 1").index, 1);
    EXPECT_EQ(parsed("record clip.png 0.001").x, 0.001);

    for (const char* nothing : { "", "   \t", "# only a comment", "  # indented comment" }) {
        ParsedLine blank = host::parseScriptLine(nothing);
        ASSERT_TRUE(blank) << nothing;
        EXPECT_FALSE(blank->has_value()) << nothing;
    }
}

// A line the table does not allow is refused with what the command takes; numbers outside what
// the views' floats or the waits allow are refused like words; set refuses a value of the wrong
// type unless the settings are taken as given.
TEST(ScriptParser, RefusesWhatTheTableDoesNotAllow)
{
    EXPECT_EQ(refusal("fly away"), "unknown command 'fly'");
    EXPECT_EQ(refusal("fl\x01y"), "unknown command 'fl\\x01y'");
    EXPECT_EQ(refusal("tap 1"), "'tap' takes two numbers, X and Y");
    EXPECT_EQ(refusal("height now"), "'height' takes nothing");
    EXPECT_EQ(refusal("set metroStyle"), "'set' takes a key and a value");
    EXPECT_EQ(refusal("set"), "'set' takes a key and a value");
    for (const char* line : { "tap 1e39 0", "tap nan 1", "tap 1 inf", "scroll 0x10", "wait -1", "wait 86401", "wait soon",
             "page 0", "page 1.5", "press -1", "press 2.5", "record clip.png 0", "record clip.png 601", "record 3",
             "render", "unset", "unset two keys", "set onlykey", "set", "tap 1 2 3", "scroll 1 2", "wait 1 2", "wait 1x",
             "tap 3.5e38 0", "tap 0 -3.5e38", "scroll 3.5e38", "press 1000001", "page 1000001", "page -1", "press", "page 1 2",
             "view now", "record clip.png -1", "record clip.png nan" })
        EXPECT_FALSE(host::parseScriptLine(line)) << line;
    EXPECT_TRUE(host::parseScriptLine("wait 86400"));
    EXPECT_TRUE(host::parseScriptLine("record clip.png 600"));

    EXPECT_NE(refusal("set metroStyle maybe").find("(--force stores it as given)"), std::string::npos);
    ScriptCommand forced = parsed("set metroStyle maybe", true);
    ASSERT_TRUE(forced.value);
    EXPECT_EQ(forced.value->description(), "maybe");
}

}
}
