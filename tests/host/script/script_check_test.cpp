#include "script/script_check.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>

namespace kavrin::testing {
namespace {

struct Checked {
    std::optional<std::vector<host::ScriptLine>> lines;
    std::string err;
};

Checked check(const std::string& script, bool settingsAsGiven = false)
{
    std::istringstream in(script);
    std::ostringstream err;
    auto lines = host::readCheckedScript(in, "test.script", err, settingsAsGiven);
    return { std::move(lines), err.str() };
}

// A script whose reading fails after its first line, as a disk error would.
class FailingAfterOneLine : public std::streambuf {
public:
    FailingAfterOneLine() { setg(m_text, m_text, m_text + sizeof m_text - 1); }

protected:
    int_type underflow() override { throw std::runtime_error("read error"); }

private:
    char m_text[7] = "view\nh";
};

// A good script gives its commands with their line numbers and texts, blank and comment lines
// skipped; what a command needs is there when it comes (the view after view, the controller
// until destroy), and commands that need neither still run after destroy.
TEST(ScriptCheck, GivesTheCommandsOfAGoodScriptWithTheirLines)
{
    Checked good = check("# start\nview\n\ntap 1 2\ndestroy\nwait 1\nset metroStyle true\n");
    ASSERT_TRUE(good.lines) << good.err;
    EXPECT_TRUE(good.err.empty()) << good.err;
    ASSERT_EQ(good.lines->size(), 5u);
    EXPECT_EQ((*good.lines)[0].number, 2);
    EXPECT_EQ((*good.lines)[1].number, 4);
    EXPECT_EQ((*good.lines)[1].text, "tap 1 2");
    EXPECT_EQ((*good.lines)[1].command.word, host::CommandWord::Tap);
    EXPECT_EQ((*good.lines)[4].command.word, host::CommandWord::Set);

    EXPECT_TRUE(check("set anyKey anything\n", true).lines);
    Checked empty = check("");
    ASSERT_TRUE(empty.lines);
    EXPECT_TRUE(empty.lines->empty());
}

// The first bad line stops the whole script, before anything runs, with one message naming the
// script, the line and what is wrong, the line's text escaped; a read error is no end of script.
TEST(ScriptCheck, TheFirstBadLineStopsTheScript)
{
    Checked early = check("height\ntap 1 1\nfly\n");
    EXPECT_FALSE(early.lines);
    EXPECT_EQ(early.err, "kavrin-host: test.script:2: there is no view yet; 'view' puts it on the screen (in \"tap 1 1\")\n");

    Checked destroyed = check("view\ndestroy\nheight\n");
    EXPECT_FALSE(destroyed.lines);
    EXPECT_EQ(destroyed.err, "kavrin-host: test.script:3: the controller has been destroyed (in \"height\")\n");

    Checked unknown = check("view\n\nfly \"away\"\t\\\n");
    EXPECT_FALSE(unknown.lines);
    EXPECT_EQ(unknown.err, "kavrin-host: test.script:3: unknown command 'fly' (in \"fly \\\"away\\\"\\t\\\\\")\n");

    EXPECT_FALSE(check("set metroStyle maybe\n").lines);

    FailingAfterOneLine failing;
    std::istream in(&failing);
    std::ostringstream err;
    EXPECT_FALSE(host::readCheckedScript(in, "disk.script", err));
    EXPECT_EQ(err.str(), "kavrin-host: disk.script: cannot read the script any further\n");
}

// Numbers beyond what the views' floats hold, waits beyond a day, operands of the wrong kind,
// settings of the wrong type and commands that need the view before it is shown are bad lines,
// each named by its line.
TEST(ScriptCheck, BadLinesAreNamedByTheirNumber)
{
    struct BadLine {
        std::string script;
        std::string line;
    };
    const BadLine cases[] = {
        { "height\nfly away\n", ":2:" },
        { "tap 1\n", ":1:" },
        { "# comment\n\nwait -1\n", ":3:" },
        { "wait soon\n", ":1:" },
        { "view\npress x\n", ":2:" },
        { "height now\n", ":1:" },
        { "set onlykey\n", ":1:" },
        { "scroll 10\n", ":1:" },
        { "height\ntap 1 1\n", ":2:" },
        { "dump\n", ":1:" },
        { "render x.png\n", ":1:" },
        { "destroy\nheight\n", ":2:" },
        { "record out.png 0\n", ":1:" },
        { "view\ntap nan 10\n", ":2:" },
        { "view\ntap 10 inf\n", ":2:" },
        { "view\ntap-location 1e39 0\n", ":2:" },
        { "view\nscroll -1e39\n", ":2:" },
        { "view\nwait 1e12\n", ":2:" },
        { "wait 86401\n", ":1:" },
        { "view\nset metroStlye true\n", ":2:" },
        { "set fiveIcons ture\n", ":1:" },
        { "set tilesAlign three\n", ":1:" },
    };
    for (const BadLine& bad : cases) {
        std::istringstream in(bad.script);
        std::ostringstream err;
        EXPECT_FALSE(host::readCheckedScript(in, "stdin", err)) << bad.script;
        EXPECT_TRUE(err.str().starts_with("kavrin-host: stdin" + bad.line)) << bad.script << " -> " << err.str();
    }
}

}
}
