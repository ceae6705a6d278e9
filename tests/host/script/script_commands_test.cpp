#include "script/script_commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kavrin::testing {
namespace {

// The one table the parser, --help and the protocol follow: every command has one row, found by
// its word and by its command alike, with what a bad line was expected to give; a word that is
// no command, or differs in case, finds nothing.
TEST(ScriptCommands, OneRowForEveryCommand)
{
    std::set<std::string_view> words;
    std::set<host::CommandWord> commands;
    for (const host::CommandInfo& info : host::scriptCommands()) {
        EXPECT_TRUE(words.insert(info.word).second) << info.word;
        EXPECT_TRUE(commands.insert(info.command).second) << info.word;
        EXPECT_EQ(host::findScriptCommand(info.word), &info) << info.word;
        EXPECT_EQ(&host::commandInfo(info.command), &info) << info.word;
        EXPECT_FALSE(info.expected.empty()) << info.word;
        EXPECT_FALSE(info.help.empty()) << info.word;
        EXPECT_EQ(info.arguments.empty(), info.operands == host::Operands::None) << info.word;
    }
    EXPECT_EQ(commands.size(), static_cast<std::size_t>(host::CommandWord::Audit) + 1);
    for (const char* word : { "", "fly", "TAP", "tap ", "swipe" })
        EXPECT_EQ(host::findScriptCommand(word), nullptr) << word;
}

}
}
