#include "support/host_harness.h"

#include <gtest/gtest.h>

#include <csignal>

namespace kavrin::testing {
namespace {

weeapp::sys::Array threeFavorites()
{
    return {
        favorite("Ada Quell", 1, "_$!<Mobile>!$_", "+49 170 111 2222"),
        favorite("Bo Rinne", 2, "_$!<Home>!$_", "(030) 555-0142"),
        favorite("Cleo", 3, "Boat", "0170 333"),
    };
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// height and dump answer from the settings file; set changes it silently, notify rebuilds.
TEST(ScriptRunner, HeightFollowsTheFileAndNotifyRebuilds)
{
    PhoneRoot phone;
    phone.writeFavorites(threeFavorites());
    RunResult result = phone.host(
        "view\nheight\ndump\n"
        "set metroStyle true   # no notification yet\n"
        "height\ndump\n"
        "notify\ndump\n"
        "unset metroStyle\nset fiveIcons true\nnotify\nheight\ndump\n");
    ASSERT_EQ(result.status, 0) << result.err;
    auto lines = result.lines();
    ASSERT_EQ(lines.size(), 7u) << result.out;
    EXPECT_EQ(lines[0], "height 110.0");
    EXPECT_TRUE(lines[1].starts_with("dump {\"class\": \"View\", \"frame\": [2, 2, 316, 110]")) << lines[1];
    EXPECT_EQ(lines[2], "height 106.0");
    EXPECT_EQ(lines[3], lines[1]);
    EXPECT_TRUE(lines[4].starts_with("dump {\"class\": \"View\", \"frame\": [0, 0, 320, 106]")) << lines[4];
    EXPECT_EQ(lines[5], "height 92.0");
    EXPECT_TRUE(lines[6].starts_with("dump {\"class\": \"View\", \"frame\": [2, 2, 316, 93]")) << lines[6];
}

// A signal ends a running script between two lines, with the signal's status.
TEST(ScriptRunner, ASignalEndsTheScriptBetweenTwoLines)
{
    PhoneRoot phone;
    phone.writeFavorites(threeFavorites());
    TemporaryFolder folder;
    constexpr std::size_t kDumps = 6000;
    std::string script = "view\n";
    for (std::size_t i = 0; i < kDumps; ++i)
        script += "dump\n";
    const fs::path file = folder.write("long.txt", script);
    for (int signalNumber : { SIGINT, SIGTERM }) {
        InteractiveHost host({ "--root", phone.root(), "--script", file.string() });
        ASSERT_TRUE(host.readLine());
        host.sendSignal(signalNumber);
        std::size_t lines = 1;
        while (host.readLine())
            ++lines;
        EXPECT_EQ(host.finish(), 128 + signalNumber);
        EXPECT_LT(lines, kDumps);
    }
}

// Over the protocol, a change another program notified while the host waited for the next line
// is seen by that line; an answer holds only what its own line produced.
TEST(ScriptRunner, TheProtocolSeesChangesNotifiedBetweenLines)
{
    PhoneRoot phone;
    phone.writeFavorites(threeFavorites());
    InteractiveHost host({ "--root", phone.root(), "--protocol", "json" });
    host.send("view");
    EXPECT_EQ(host.readLine(), "{\"ok\": true}");
    host.send("height");
    EXPECT_EQ(host.readLine(), "{\"ok\": true, \"height\": 110}");
    EXPECT_EQ(runProgram("kavrin-prefs", { "--root", phone.root(), "set", "metroStyle", "true" }).status, 0);
    // The rebuilt view is the metro look's, which fills the width.
    host.send("dump");
    const std::optional<std::string> dumped = host.readLine();
    ASSERT_TRUE(dumped);
    EXPECT_TRUE(dumped->starts_with("{\"ok\": true, \"dump\": {\"class\": \"View\", \"frame\": [0, 0, 320, 106]")) << *dumped;
    host.send("view");
    EXPECT_EQ(host.readLine(), "{\"ok\": true}");
    host.send("fly");
    EXPECT_EQ(host.readLine(), "{\"ok\": false, \"line\": 5, \"error\": \"unknown command 'fly'\"}");
}

// The screen reader's page gesture, a scroll and a page need a scroll view: a plug-in whose view
// has none refuses them as bad lines.
TEST(ScriptRunner, SwipesNeedAScrollView)
{
    TemporaryFolder root;
    const fs::path bundle = root.path() / "System/Library/WeeAppPlugins/Tiny.bundle";
    fs::create_directories(bundle);
    fs::copy_file(KAVRIN_TEST_TINY_RED_BUNDLE, bundle / "Tiny");
    for (const char* swipe : { "swipe-next", "swipe-previous", "scroll 10", "page 1" }) {
        RunResult result = runProgram("kavrin-host", { "--root", root.path().string(), "--plugins", bundle.string(), "--script", "-" }, std::string("view\n") + swipe + "\n");
        EXPECT_EQ(result.status, 2) << swipe;
        EXPECT_TRUE(contains(result.err, "stdin:2: there is no scroll view on screen")) << result.err;
    }
}

// A view that disappeared flips no more tiles than the flip already under way: in the metro look
// over ten seconds, one flipped tile instead of one every few seconds.
TEST(ScriptRunner, ADisappearedViewStopsFlipping)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    phone.writeSettings({ { "metroStyle", weeapp::sys::Value::boolean(true) } });
    const auto flippedTiles = [&](const std::string& script) {
        const std::string out = phone.host(script).out;
        std::size_t count = 0;
        for (std::size_t at = out.find("\"alpha\": 0.05"); at != std::string::npos; at = out.find("\"alpha\": 0.05", at + 1))
            ++count;
        return count;
    };
    const std::size_t shown = flippedTiles("view\nappear\nwait 9.75\ndump\n");
    const std::size_t hidden = flippedTiles("view\nappear\ndisappear\nwait 9.75\ndump\n");
    EXPECT_EQ(hidden, 1u);
    EXPECT_GT(shown, hidden);
}

// Taps go through hit testing to the tile's action: the standard action opens a URL, a tap
// beside the tiles does nothing, ask-flags bring the chooser, whose buttons act.
TEST(ScriptRunner, TapsOpenURLsAndTheChooserActs)
{
    PhoneRoot phone;
    phone.writeFavorites(threeFavorites());
    RunResult result = phone.host(
        "view\n"
        "tap 44 44\n"
        "tap 270 44\n"
        "set standardAction 2\ntap 120 44\n"
        "tap-location 196 44\n"
        "set askForCall true\nset askForText true\n"
        "tap 120 44\n"
        "tap 44 44        # the alert takes every tap\n"
        "press 2\n"
        "tap 196 44\npress 0\n");
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> expected {
        "open tel:+491701112222",
        "open sms:(030)555-0142",
        "open sms:0170333",
        "launch none",
        "alert {\"title\": \"Bo Rinne\", \"buttons\": [\"Cancel\", \"Call\", \"Message\"], \"tag\": 1}",
        "open sms:(030)555-0142",
        "alert {\"title\": \"Cleo\", \"buttons\": [\"Cancel\", \"Call\", \"Message\"], \"tag\": 2}",
    };
    EXPECT_EQ(result.lines(), expected);

    RunResult german = phone.host("view\ntap 44 44\npress 1\n", { "--lang", "de,en" });
    ASSERT_EQ(german.status, 0) << german.err;
    EXPECT_EQ(german.lines(), (std::vector<std::string> {
                                  "alert {\"title\": \"Ada Quell\", \"buttons\": [\"Abbrechen\", \"Anrufen\", \"Nachricht\"], \"tag\": 0}",
                                  "open tel:+491701112222",
                              }));

    // A name that is not UTF-8 (a binary list keeps its bytes) still makes an alert line of
    // valid JSON text.
    PhoneRoot broken;
    std::optional<std::string> bytes = weeapp::sys::serializePropertyList(
        *weeapp::sys::Value::array({ favorite("Bad@@ Name", 1, "_$!<Mobile>!$_", "1") }), weeapp::sys::PropertyListFormat::Binary);
    ASSERT_TRUE(bytes && bytes->find("@@") != std::string::npos);
    bytes->replace(bytes->find("@@"), 2, "\xff\xfe");
    broken.writeRaw(PhoneRoot::kFavorites, *bytes);
    broken.writeSettings({ { "askForCall", weeapp::sys::Value::boolean(true) }, { "askForText", weeapp::sys::Value::boolean(true) } });
    RunResult alert = broken.host("view\ntap 44 44\n");
    ASSERT_EQ(alert.status, 0) << alert.err;
    EXPECT_EQ(alert.lines(), std::vector<std::string> { "alert {\"title\": \"Bad\\ufffd\\ufffd Name\", \"buttons\": [\"Cancel\", \"Call\", \"Message\"], \"tag\": 0}" });
}

// A bad line stops the script with status 2 and a message naming the line, before any line has
// run (which lines are bad, ScriptCheck tells in the process). Usage errors, a root that is not
// there (which is not created), a script that is a folder or cannot be read give 2 as well.
TEST(ScriptRunner, BadLinesAndUsageErrorsGiveStatus2)
{
    PhoneRoot phone;
    RunResult partial = phone.host("height\nfly\nheight\n");
    EXPECT_EQ(partial.status, 2);
    EXPECT_EQ(partial.out, "");
    EXPECT_TRUE(contains(partial.err, "kavrin-host: stdin:2: unknown command 'fly'")) << partial.err;
    // A line that fails as it runs stops the script the same way.
    RunResult noAlert = phone.host("view\npress 0\nheight\n");
    EXPECT_EQ(noAlert.status, 2);
    EXPECT_EQ(noAlert.out, "");
    EXPECT_TRUE(contains(noAlert.err, "stdin:2:")) << noAlert.err;

    fs::path mistyped = phone.path() / "nothere";
    for (const std::vector<std::string>& options : { std::vector<std::string> { "--bogus" }, { "--seed", "x" }, { "--lang" },
             { "--script", (phone.path() / "missing.txt").string() }, { "--script", phone.root() }, { "--script", "/proc/self/mem" },
             { "--root", "" }, { "--root", mistyped.string(), "--script", "-" } }) {
        std::vector<std::string> arguments { "--root", phone.root() };
        arguments.insert(arguments.end(), options.begin(), options.end());
        RunResult result = runProgram("kavrin-host", arguments, "view\n");
        EXPECT_EQ(result.status, 2) << options.back();
        EXPECT_FALSE(result.err.empty()) << options.back();
    }
    EXPECT_FALSE(fs::exists(mistyped));
}

// Whatever lies in the phone root, a full session runs to its end, with numbers at the ends of
// their ranges; a root without the plug-in is refused with a message, not a crash, and is left
// as it was.
TEST(ScriptRunner, AnyPhoneRootRunsToTheEnd)
{
    auto run = [&](auto prepare) {
        PhoneRoot phone;
        prepare(phone);
        RunResult result = phone.host("view\nheight\nappear\nwait 8\ntap 44 44\ntap-location 20 20\nscroll 900\nnotify\ndump\nrender "
            + (phone.path() / "picture.png").string() + "\ntap 3.4e38 -3.4e38\ntap-location -3.4e38 3.4e38\nscroll -3.4e38\nwait 86400\ndestroy\nwait 5\n");
        EXPECT_EQ(result.status, 0) << result.err;
        return result;
    };
    run([](PhoneRoot&) {});
    run([](PhoneRoot& phone) { phone.writeRaw(PhoneRoot::kFavorites, "not a property list"); phone.writeRaw(PhoneRoot::kSettings, "<plist><dict><key>"); });
    run([](PhoneRoot& phone) {
        phone.writeSettings({ { "metroStyle", weeapp::sys::Value::string("yes") }, { "tilesAlign", weeapp::sys::Value::array({}) } });
        phone.writeFavorites({ weeapp::sys::Value::string("not a dictionary"), weeapp::sys::Value::dictionary({}),
            weeapp::sys::Value::dictionary({ { "Name", weeapp::sys::Value::integer(5) }, { "ABUid", weeapp::sys::Value::string("x") } }) });
        phone.writeRaw("private/var/mobile/Library/AddressBook/AddressBook.sqlitedb", "garbage");
        phone.writeRaw("private/var/mobile/Library/AddressBook/AddressBookImages.sqlitedb", "");
    });
    run([](PhoneRoot& phone) {
        phone.writeSettings({ { "metroStyle", weeapp::sys::Value::boolean(true) } });
        phone.writeFavorites({ weeapp::sys::Value::dictionary({ { "Value", weeapp::sys::Value::string("1 2") } }) });
    });

    TemporaryFolder empty;
    RunResult refused = runProgram("kavrin-host", { "--root", empty.path().string(), "--script", "-" }, "view\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(contains(refused.err, "plug-in")) << refused.err;
    EXPECT_TRUE(fs::is_empty(empty.path()));
}

// After destroy nothing reaches the controller any more: pending flips and notifications are
// dropped, and every command that needs the controller or its view is an error naming its line
// (checked before the script runs, so nothing is printed), while wait, notify and set go on.
TEST(ScriptRunner, DestroyedControllerReceivesNothing)
{
    PhoneRoot phone;
    phone.writeFavorites(threeFavorites());
    phone.writeSettings({ { "metroStyle", weeapp::sys::Value::boolean(true) } });
    RunResult result = phone.host("view\nappear\nwait 3\ndestroy\nwait 10\nnotify\nset metroStyle false\nnotify\nwait 1\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");

    for (const char* command : { "view", "height", "appear", "disappear", "tap 20 20", "tap-location 20 20", "scroll 10", "dump",
             "render x.png", "record x.png 1", "destroy" }) {
        RunResult refused = phone.host(std::string("view\nheight\ndestroy\nwait 1\n") + command + "\n");
        EXPECT_EQ(refused.status, 2) << command;
        EXPECT_TRUE(contains(refused.err, "stdin:5:") && contains(refused.err, "destroyed")) << command << " -> " << refused.err;
        EXPECT_EQ(refused.out, "") << command;
    }
    EXPECT_FALSE(fs::exists(phone.path() / "x.png"));

    // The view stays on the screen, but no tile's hint comes from the controller any more, nor
    // does a notified change rebuild it.
    PhoneRoot standard;
    standard.writeFavorites(threeFavorites());
    RunResult shown = standard.host("view\nelements\ndestroy\nset metroStyle true\nnotify\nelements\n");
    ASSERT_EQ(shown.lines().size(), 2u) << shown.out;
    EXPECT_TRUE(contains(shown.lines()[0], "{\"label\": \"Ada Quell\", \"hint\": \"Calls\"")) << shown.out;
    EXPECT_TRUE(contains(shown.lines()[1], "{\"label\": \"Ada Quell\", \"hint\": null")) << shown.out;
}

// With --force, set stores any key with its value typed from the text and writes the file;
// unset removes the key and writes nothing for a key that is not there. A FIFO in the file's
// place is neither waited on nor replaced: set and unset stop the script there.
TEST(ScriptRunner, SetAndUnsetWriteTypedSettings)
{
    PhoneRoot phone;
    RunResult result = phone.host(
        "set flag true\nset off false\nset count 42\nset negative -7\nset real 3.5\n"
        "set quoted \"12\"\nset words hello  world\nset hash \"a # b\" # comment\nset gone 1\nunset gone\nunset never\n",
        { "--force" });
    ASSERT_EQ(result.status, 0) << result.err;
    weeapp::sys::ValuePtr settings = phone.settings();
    ASSERT_TRUE(settings && settings->asDictionary());
    auto value = [&](const char* key) { return weeapp::sys::objectForKey(settings, key); };
    EXPECT_EQ(*value("flag"), *weeapp::sys::Value::boolean(true));
    EXPECT_EQ(*value("off"), *weeapp::sys::Value::boolean(false));
    EXPECT_EQ(*value("count"), *weeapp::sys::Value::integer(42));
    EXPECT_EQ(*value("negative"), *weeapp::sys::Value::integer(-7));
    EXPECT_EQ(*value("real"), *weeapp::sys::Value::string("3.5"));
    EXPECT_EQ(*value("quoted"), *weeapp::sys::Value::string("12"));
    EXPECT_EQ(*value("words"), *weeapp::sys::Value::string("hello  world"));
    EXPECT_EQ(*value("hash"), *weeapp::sys::Value::string("a # b"));
    EXPECT_EQ(value("gone"), nullptr);
    EXPECT_EQ(settings->asDictionary()->size(), 8u);

    PhoneRoot fresh;
    EXPECT_EQ(fresh.host("unset never\n").status, 0);
    EXPECT_FALSE(fs::exists(fresh.path() / PhoneRoot::kSettings));

    PhoneRoot piped;
    piped.makeFifo(PhoneRoot::kSettings);
    RunResult refused = piped.host("view\nheight\nunset never\nset metroStyle true\nheight\n");
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(contains(refused.err, "stdin:3:") && contains(refused.err, "not a regular file")) << refused.err;
    RunResult refusedSet = piped.host("set metroStyle true\n");
    EXPECT_EQ(refusedSet.status, 2);
    EXPECT_TRUE(contains(refusedSet.err, "stdin:1:")) << refusedSet.err;
    EXPECT_EQ(refused.lines(), std::vector<std::string> { "height 110.0" });
    EXPECT_TRUE(fs::is_fifo(piped.path() / PhoneRoot::kSettings));
}

// scroll drags the scroll view and lets it rest: offset and page control follow.
TEST(ScriptRunner, ScrollMovesContentAndPage)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    RunResult result = phone.host("view\nscroll 316\ndump\nscroll 170\ndump\n");
    ASSERT_EQ(result.status, 0) << result.err;
    auto lines = result.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(contains(lines[0], "\"currentPage\": 1") && contains(lines[0], "\"contentOffset\": [316, 0]")) << lines[0];
    EXPECT_TRUE(contains(lines[1], "\"currentPage\": 1") && contains(lines[1], "\"contentOffset\": [170, 0]")) << lines[1];
}

// page N swipes to the page as a finger would, and the widget hears the scroll come to rest (its
// page dots follow); a page beyond the last is the last, and page 0 is a bad line.
TEST(ScriptRunner, PageSwipesToThePageAndClamps)
{
    PhoneRoot phone;
    phone.writeDemoPhone();
    RunResult result = phone.host("view\npage 2\ndump\npage 99\ndump\npage 1\ndump\n");
    ASSERT_EQ(result.status, 0) << result.err;
    auto lines = result.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(contains(lines[0], "\"currentPage\": 1") && contains(lines[0], "\"contentOffset\": [316, 0]")) << lines[0];
    // Fourteen favorites, four a page: four pages.
    EXPECT_TRUE(contains(lines[1], "\"currentPage\": 3") && contains(lines[1], "\"contentOffset\": [948, 0]")) << lines[1];
    EXPECT_TRUE(contains(lines[2], "\"currentPage\": 0") && contains(lines[2], "\"contentOffset\": [0, 0]")) << lines[2];
    EXPECT_EQ(phone.host("view\npage 0\n").status, 2);
    EXPECT_EQ(phone.host("view\npage 1.5\n").status, 2);
}

}
}
