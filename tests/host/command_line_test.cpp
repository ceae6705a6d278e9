#include "support/host_harness.h"

#include <weeapp/ui/inspection/json_text.h>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <set>

namespace kavrin::testing {
namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The script commands with their operands as docs/protocol.md documents them, one
// "### `word ARGS`" heading each.
std::set<std::string> documentedCommands()
{
    std::set<std::string> words;
    std::string protocol = readFile(fs::path(KAVRIN_SOURCE_DIR) / "docs/protocol.md");
    std::regex heading("^### `([a-z-]+( [A-Z]+)*)`$");
    for (const std::string& line : linesOf(protocol))
        if (std::smatch match; std::regex_search(line, match, heading))
            words.insert(match[1]);
    return words;
}

// The script commands with their operands as --help lists them, from its "Script commands"
// section.
std::set<std::string> commandsInHelp(const std::string& help)
{
    std::set<std::string> words;
    bool inSection = false;
    std::regex entry("^  ([a-z-]+( [A-Z]+)*)  ");
    for (const std::string& line : linesOf(help)) {
        if (line.starts_with("Script commands"))
            inSection = true;
        else if (inSection && !line.starts_with(" "))
            break;
        else if (std::smatch match; inSection && std::regex_search(line, match, entry))
            words.insert(match[1]);
    }
    return words;
}

// --help and -h list every option and every documented command with its output lines, the exit
// statuses and an example; --version prints the project's version; the same for kavrin-prefs
// and kavrin-demo-phone.
TEST(CommandLine, HelpListsEverythingAndVersionIsTheProjects)
{
    std::set<std::string> documented = documentedCommands();
    ASSERT_GE(documented.size(), 17u);
    EXPECT_TRUE(documented.count("page N"));
    for (const char* flag : { "--help", "-h" }) {
        RunResult help = runProgram("kavrin-host", { flag });
        ASSERT_EQ(help.status, 0) << flag;
        EXPECT_EQ(commandsInHelp(help.out), documented) << help.out;
        for (const char* part : { "--root DIR", "--plugin NAME", "--lang CODES", "--seed N", "--script FILE|-", "--check",
                 "--protocol json", "--out DIR", "--live", "--window", "--watch", "--scale 1|2|3", "--backdrop dark|light|none|FILE",
                 "--force", "--create", "--version", "height N", "launch URL|none", "dump JSON|null", "open URL", "alert JSON",
                 "Cancel at 0", "Exit status", "130", "143", "Example" })
            EXPECT_TRUE(contains(help.out, part)) << part;
    }
    for (const char* name : { "kavrin-host", "kavrin-prefs", "kavrin-demo-phone" }) {
        RunResult version = runProgram(name, { "--version" });
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, std::string(name) + " " KAVRIN_VERSION "\n");
    }
    RunResult prefs = runProgram("kavrin-prefs", { "--help" });
    EXPECT_EQ(prefs.status, 0);
    for (const char* part : { "--root DIR", "--xml", "--binary", "--no-notify", "--force", "--create", "get KEY", "set KEY VALUE",
             "unset KEY", "list", "keys", "Exit status", "Example" })
        EXPECT_TRUE(contains(prefs.out, part)) << part;
    // Every key of the settings table, as keys prints it.
    RunResult keys = runProgram("kavrin-prefs", { "keys" });
    ASSERT_EQ(keys.status, 0);
    for (const std::string& line : keys.lines())
        EXPECT_TRUE(contains(prefs.out, line)) << line;
    EXPECT_EQ(runProgram("kavrin-demo-phone", { "--help" }).status, 0);
}

// Usage errors say what is wrong and what was expected, with status 2.
TEST(CommandLine, UsageErrorsSayWhatWasExpected)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    const Case cases[] = {
        { { "--root", "--script", "-" }, "--root: needs a folder, not the option --script" },
        { { "--root", "" }, "needs a folder" },
        { { "--seed", "x" }, "--seed needs a non-negative integer, not 'x'" },
        { { "--bogus" }, "--bogus" },
        { { "--check" }, "--check requires --script" },
        { { "--protocol", "xml" }, "json" },
        { { "--protocol", "json", "--script", "-" }, "excludes" },
        { { "--live", "--protocol", "json" }, "excludes" },
        { { "--window", "--script", "-" }, "excludes" },
        { { "--window", "--live" }, "excludes" },
        { { "--watch" }, "--watch needs --window or --live" },
        { { "--scale", "4" }, "--scale" },
        { { "--backdrop", "" }, "--backdrop: needs dark, light, none or a picture" },
        { { "--plugin", "a/b" }, "needs a bundle name, not 'a/b'" },
    };
    for (const Case& bad : cases) {
        RunResult result = runProgram("kavrin-host", bad.arguments);
        EXPECT_EQ(result.status, 2) << bad.says;
        EXPECT_TRUE(contains(result.err, bad.says)) << result.err;
        EXPECT_TRUE(contains(result.err, "usage: kavrin-host")) << result.err;
        EXPECT_EQ(result.out, "");
    }
    PhoneRoot phone;
    for (const auto& [arguments, says] : { std::pair<std::vector<std::string>, std::string> { { "frob" }, "unknown command 'frob'" },
             { {}, "no command given" }, { { "set", "a" }, "'set' takes KEY VALUE" }, { { "list", "extra" }, "'list' takes nothing" },
             { { "keys", "extra" }, "'keys' takes nothing" }, { { "--fast", "list" }, "--fast" } }) {
        std::vector<std::string> withRoot { "--root", phone.root() };
        withRoot.insert(withRoot.end(), arguments.begin(), arguments.end());
        RunResult result = runProgram("kavrin-prefs", withRoot);
        EXPECT_EQ(result.status, 2) << says;
        EXPECT_TRUE(contains(result.err, says)) << result.err;
    }
}

// A bad line anywhere, the last among them, stops the script before any line runs: no output,
// no picture, no setting changed. --check only checks: a good script does nothing either. The
// message quotes the line with its control bytes escaped.
TEST(CommandLine, ScriptIsCheckedWholeBeforeAnythingRuns)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    phone.writeSettings({ { "showBg", weeapp::sys::Value::boolean(true) } });
    std::string settings = readFile(phone.path() / PhoneRoot::kSettings);
    fs::path picture = phone.path() / "picture.png", animation = phone.path() / "flip.png";
    std::string script = "set askForMail false\nnotify\nview\ntap 44 44\nrender " + picture.string() + "\nrecord " + animation.string()
        + " 1\nunset showBg\nheight\ndump\n";

    RunResult bad = phone.host(script + "tap 44\n");
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(contains(bad.err, "stdin:10: 'tap' takes two numbers, X and Y (in \"tap 44\")")) << bad.err;
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(readFile(phone.path() / PhoneRoot::kSettings), settings);
    EXPECT_FALSE(fs::exists(picture) || fs::exists(animation));

    RunResult checked = phone.host(script, { "--check" });
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.out + checked.err, "");
    EXPECT_EQ(readFile(phone.path() / PhoneRoot::kSettings), settings);
    EXPECT_FALSE(fs::exists(picture) || fs::exists(animation));
    EXPECT_EQ(phone.host(script + "fly\n", { "--check" }).status, 2);

    RunResult ran = phone.host(script);
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_TRUE(fs::exists(picture) && fs::exists(animation));
    EXPECT_EQ(ran.lines().front(), "open tel:+491701234567");

    RunResult escaped = phone.host("view\nfly \x01\x1b[31m\xff \"q\"\n");
    EXPECT_EQ(escaped.status, 2);
    EXPECT_TRUE(contains(escaped.err, "stdin:2: unknown command 'fly' (in \"fly \\x01\\x1b[31m\\xff \\\"q\\\"\")")) << escaped.err;
    EXPECT_FALSE(contains(escaped.err, "\x01") || contains(escaped.err, "\x1b") || contains(escaped.err, "\xff"));
    RunResult escapedWord = phone.host("\x07\x08\n");
    EXPECT_TRUE(contains(escapedWord.err, "unknown command '\\x07\\x08'")) << escapedWord.err;
}

// Input that cannot be read (here a folder) is no end of the commands: the session ends with
// status 2 and says so, in the protocol as in a script.
TEST(CommandLine, AnUnreadableInputIsNoEndOfTheCommands)
{
    PhoneRoot phone;
    TemporaryFolder folder;
    const fs::path err = folder.path() / "err";
    for (const char* mode : { "--protocol json", "--script -" }) {
        const std::string command = program("kavrin-host") + " --root '" + phone.root() + "' " + mode + " < / > /dev/null 2> '" + err.string() + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << mode;
        EXPECT_EQ(WEXITSTATUS(status), 2) << mode;
        EXPECT_EQ(readFile(err), std::string(mode) == "--script -" ? "kavrin-host: stdin: cannot read the script any further\n" : "kavrin-host: cannot read the commands any further\n")
            << mode;
    }
}

// In the JSON protocol every line gets exactly one answer that parses, bad lines among them,
// and the session goes on after them; what a command produced is in its answer.
TEST(CommandLine, JsonProtocolAnswersEveryLine)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    fs::path picture = phone.path() / "picture.png";
    const std::vector<std::string> commands {
        "dump",                       // 1: no view yet
        "view",                       // 2
        "",                           // 3: blank
        "height   # a comment",       // 4
        "tap 44 44",                  // 5
        "tap 300 300",                // 6: nothing there
        "fly \x01 away",              // 7: bad
        "tap-location 44 44",         // 8
        "set askForCall true",        // 9
        "set askForText true",        // 10
        "notify",                     // 11
        "tap 44 44",                  // 12: the chooser
        "press 7",                    // 13: no such button
        "press 1",                    // 14
        "render " + picture.string(), // 15
        "dump",                       // 16
        "destroy",                    // 17
        "height",                     // 18: destroyed
        "wait 1",                     // 19
    };
    std::string input;
    for (const std::string& command : commands)
        input += command + "\n";
    RunResult result = runProgram("kavrin-host", { "--root", phone.root(), "--seed", "1", "--protocol", "json" }, input);
    EXPECT_EQ(result.status, 0) << result.err;
    std::vector<std::string> lines = result.lines();
    ASSERT_EQ(lines.size(), commands.size()) << result.out;
    std::vector<weeapp::ui::Json> answers;
    for (const std::string& line : lines) {
        weeapp::ui::Json answer = weeapp::ui::Json::parse(line, nullptr, false);
        ASSERT_FALSE(answer.is_discarded()) << line;
        ASSERT_TRUE(answer.is_object() && answer.contains("ok")) << line;
        answers.push_back(answer);
    }
    for (std::size_t failed : { 1u, 7u, 13u, 18u }) {
        EXPECT_EQ(answers[failed - 1].value("ok", true), false) << lines[failed - 1];
        EXPECT_EQ(answers[failed - 1].value("line", 0), static_cast<int>(failed));
        EXPECT_TRUE(answers[failed - 1]["error"].is_string());
    }
    EXPECT_EQ(lines[1], "{\"ok\": true}");
    EXPECT_EQ(lines[2], "{\"ok\": true}");
    EXPECT_EQ(answers[3]["height"], 110);
    EXPECT_EQ(answers[4]["open"], weeapp::ui::Json::array({ "tel:+491701234567" }));
    EXPECT_EQ(answers[4]["hit"]["class"], "Button");
    EXPECT_EQ(lines[5], "{\"ok\": true, \"hit\": null}");
    EXPECT_FALSE(contains(lines[6], "\x01"));
    EXPECT_TRUE(answers[7].contains("launch"));
    EXPECT_EQ(answers[11]["alert"][0]["buttons"], weeapp::ui::Json::array({ "Cancel", "Call", "Message" }));
    EXPECT_EQ(answers[13]["open"], weeapp::ui::Json::array({ "tel:+491701234567" }));
    EXPECT_EQ(answers[14]["file"], picture.string());
    EXPECT_TRUE(fs::exists(picture));
    EXPECT_EQ(answers[15]["dump"]["class"], "View");
    EXPECT_TRUE(answers[15]["dump"]["children"].is_array());
    EXPECT_EQ(lines[16], "{\"ok\": true}");
    EXPECT_EQ(lines[18], "{\"ok\": true}");

    // page needs the view; set is checked against the settings table, and a refusal names the
    // known keys without ending the session.
    RunResult paged = runProgram("kavrin-host", { "--root", phone.root(), "--protocol", "json" },
        "page 2\nview\npage 2\nset metroStlye true\nset fiveIcons YES\npage 0\n");
    EXPECT_EQ(paged.status, 0) << paged.err;
    std::vector<std::string> pagedLines = paged.lines();
    ASSERT_EQ(pagedLines.size(), 6u) << paged.out;
    EXPECT_TRUE(contains(pagedLines[0], "\"ok\": false") && contains(pagedLines[0], "no view yet")) << pagedLines[0];
    EXPECT_EQ(pagedLines[2], "{\"ok\": true}");
    weeapp::ui::Json refused = weeapp::ui::Json::parse(pagedLines[3]);
    EXPECT_EQ(refused["ok"], false);
    EXPECT_EQ(refused["line"], 4);
    EXPECT_TRUE(contains(refused["error"].get<std::string>(), "metroStyle, fiveIcons")) << pagedLines[3];
    EXPECT_EQ(pagedLines[4], "{\"ok\": true}");
    EXPECT_TRUE(contains(pagedLines[5], "\"ok\": false") && contains(pagedLines[5], "a page number")) << pagedLines[5];
    EXPECT_EQ(*weeapp::sys::objectForKey(phone.settings(), "fiveIcons"), *weeapp::sys::Value::boolean(true));
    EXPECT_EQ(weeapp::sys::objectForKey(phone.settings(), "metroStlye"), nullptr);
}

// A first language the widget does not match gets a note on standard error; the widget's rule
// stays: de-DE gets English.
TEST(CommandLine, UnmatchedLanguageGetsANote)
{
    PhoneRoot phone;
    phone.writeFavorites({ favorite("Ada", 1, "_$!<Mobile>!$_", "1") });
    phone.writeSettings({ { "askForCall", weeapp::sys::Value::boolean(true) }, { "askForText", weeapp::sys::Value::boolean(true) } });
    RunResult regional = phone.host("view\ntap 44 44\n", { "--lang", "de-DE,de" });
    EXPECT_EQ(regional.status, 0);
    EXPECT_TRUE(contains(regional.err, "'de-DE' gets English")) << regional.err;
    EXPECT_TRUE(contains(regional.out, "\"Cancel\"")) << regional.out;
    for (const char* matched : { "de", "en", "es,de-DE" }) {
        RunResult result = phone.host("view\n", { "--lang", matched });
        EXPECT_EQ(result.err, "") << matched;
    }
}

}
}
