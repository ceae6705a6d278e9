#include "support/host_harness.h"
#include "support/property_list_shapes.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

#include <sys/file.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <regex>
#include <tuple>

namespace kavrin::testing {
namespace {

RunResult prefs(const PhoneRoot& phone, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), { "--root", phone.root() });
    return runProgram("kavrin-prefs", arguments);
}

// set types its value, get and list print it so that it reads back the same, unset removes it.
// Keys the widget does not read need --force, and then their values are typed from the text.
TEST(Prefs, SetGetListUnsetRoundTrip)
{
    PhoneRoot phone;
    for (auto [key, value] : { std::pair { "metroStyle", "true" }, { "tilesAlign", "3" } })
        ASSERT_EQ(prefs(phone, { "set", key, value }).status, 0) << key;
    for (auto [key, value] : { std::pair { "label", "\"007\"" }, { "motto", "carpe diem" }, { "blank", "\"\"" }, { "offset", "-12" } })
        ASSERT_EQ(prefs(phone, { "--force", "set", key, value }).status, 0) << key;
    weeapp::sys::ValuePtr settings = phone.settings();
    EXPECT_EQ(*weeapp::sys::objectForKey(settings, "metroStyle"), *weeapp::sys::Value::boolean(true));
    EXPECT_EQ(*weeapp::sys::objectForKey(settings, "tilesAlign"), *weeapp::sys::Value::integer(3));
    EXPECT_EQ(*weeapp::sys::objectForKey(settings, "label"), *weeapp::sys::Value::string("007"));
    EXPECT_EQ(*weeapp::sys::objectForKey(settings, "motto"), *weeapp::sys::Value::string("carpe diem"));
    EXPECT_EQ(*weeapp::sys::objectForKey(settings, "blank"), *weeapp::sys::Value::string(""));

    EXPECT_EQ(prefs(phone, { "get", "tilesAlign" }).out, "3\n");
    EXPECT_EQ(prefs(phone, { "get", "label" }).out, "\"007\"\n");
    EXPECT_EQ(prefs(phone, { "get", "motto" }).out, "carpe diem\n");
    RunResult missing = prefs(phone, { "get", "nothing" });
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");

    ASSERT_EQ(prefs(phone, { "unset", "motto" }).status, 0);
    EXPECT_EQ(prefs(phone, { "list" }).out, "blank \"\"\nlabel \"007\"\nmetroStyle true\noffset -12\ntilesAlign 3\n");
}

// Kinds that set cannot make print on one line each: a real as the shortest text that reads
// back as the same double and never as an integer, data in hex, containers with quoted texts.
TEST(Prefs, GetAndListPrintEveryKindOnOneLine)
{
    PhoneRoot phone;
    const double third = 1.0 / 3;
    phone.writeSettings({
        { "tenth", weeapp::sys::Value::real(0.1) },
        { "third", weeapp::sys::Value::real(third) },
        { "whole", weeapp::sys::Value::real(3) },
        { "huge", weeapp::sys::Value::real(-1e300) },
        { "bytes", weeapp::sys::Value::data({ 0x00, 0xab, 0x10 }) },
        { "list", weeapp::sys::Value::array({ weeapp::sys::Value::integer(1), weeapp::sys::Value::string("a, b"), weeapp::sys::Value::boolean(false) }) },
        { "nested", weeapp::sys::Value::dictionary({ { "k y", weeapp::sys::Value::array({}) }, { "r", weeapp::sys::Value::real(2.5) } }) },
    });
    EXPECT_EQ(prefs(phone, { "get", "tenth" }).out, "0.1\n");
    std::string thirdText = prefs(phone, { "get", "third" }).out;
    ASSERT_FALSE(thirdText.empty());
    EXPECT_EQ(std::strtod(thirdText.c_str(), nullptr), third) << thirdText;
    EXPECT_LE(thirdText.size(), 20u) << thirdText;
    EXPECT_EQ(prefs(phone, { "list" }).out,
        "bytes <00ab10>\n"
        "huge -1e+300\n"
        "list [1, \"a, b\", false]\n"
        "nested {\"k y\": [], \"r\": 2.5}\n"
        "tenth 0.1\n"
        "third "
            + thirdText
            + "whole 3.0\n");
}

// The file keeps its format unless told otherwise; --binary and --xml switch it, and the
// folder holds no leftover temporary file after a replacement.
TEST(Prefs, WritesXmlOrBinaryByReplacingTheFile)
{
    PhoneRoot phone;
    std::filesystem::path file = phone.path() / PhoneRoot::kSettings;
    ASSERT_EQ(prefs(phone, { "set", "showBg", "true" }).status, 0);
    EXPECT_TRUE(readFile(file).starts_with("<?xml"));
    ASSERT_EQ(prefs(phone, { "--binary", "set", "showLabels", "true" }).status, 0);
    EXPECT_TRUE(readFile(file).starts_with("bplist00"));
    ASSERT_EQ(prefs(phone, { "set", "fiveIcons", "false" }).status, 0);
    EXPECT_TRUE(readFile(file).starts_with("bplist00"));
    EXPECT_EQ(weeapp::sys::count(phone.settings()), 3u);
    ASSERT_EQ(prefs(phone, { "--xml", "unset", "fiveIcons" }).status, 0);
    EXPECT_TRUE(readFile(file).starts_with("<?xml"));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

// Removing a key that is not there writes no file and announces nothing.
TEST(Prefs, UnsetOfAMissingKeyChangesNothing)
{
    PhoneRoot phone;
    RunResult result = prefs(phone, { "unset", "metroStyle" });
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_FALSE(std::filesystem::exists(phone.path() / PhoneRoot::kSettings));
    EXPECT_FALSE(std::filesystem::exists(phone.path() / "private/var/run/kavrin-notify/de.quillfen.kavrin-preferencesChanged"));

    phone.writeSettings({ { "showBg", weeapp::sys::Value::boolean(true) } });
    std::string before = readFile(phone.path() / PhoneRoot::kSettings);
    EXPECT_EQ(prefs(phone, { "--binary", "unset", "metroStyle" }).status, 0);
    EXPECT_EQ(readFile(phone.path() / PhoneRoot::kSettings), before);
}

// Writers that run at once each keep their change: none reads the file while another is
// between reading and replacing it.
TEST(Prefs, ConcurrentWritersLoseNothing)
{
    PhoneRoot phone;
    constexpr int kWriters = 8;
    std::vector<std::unique_ptr<StartedProgram>> writers;
    for (int i = 0; i < kWriters; ++i)
        writers.push_back(std::make_unique<StartedProgram>("kavrin-prefs",
            std::vector<std::string> { "--root", phone.root(), "--force", "set", "key" + std::to_string(i), std::to_string(i) }));
    for (auto& writer : writers)
        EXPECT_EQ(writer->finish().status, 0);
    weeapp::sys::ValuePtr settings = phone.settings();
    EXPECT_EQ(weeapp::sys::count(settings), static_cast<std::size_t>(kWriters));
    for (int i = 0; i < kWriters; ++i)
        EXPECT_EQ(weeapp::sys::intValue(weeapp::sys::objectForKey(settings, "key" + std::to_string(i))), i);
}

// A corrupt settings file is refused by set and unset (status 2, the file untouched) and by get
// and list (status 1); --force replaces it after keeping its bytes in NAME.broken-TIMESTAMP
// beside it. Usage errors (an empty or missing root among them) give status 2, leave the file
// alone and create no folders.
TEST(Prefs, CorruptFileAndUsageErrors)
{
    PhoneRoot phone;
    const std::string corrupt = "\x01\x02 not a plist";
    fs::path file = phone.path() / PhoneRoot::kSettings;
    phone.writeRaw(PhoneRoot::kSettings, corrupt);
    for (const std::vector<std::string>& change : { std::vector<std::string> { "set", "showBg", "true" }, { "unset", "showBg" } }) {
        RunResult refused = prefs(phone, change);
        EXPECT_EQ(refused.status, 2) << change.front();
        EXPECT_NE(refused.err.find("not a readable settings file"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    }
    for (const std::vector<std::string>& read : { std::vector<std::string> { "list" }, { "get", "showBg" } }) {
        RunResult refused = prefs(phone, read);
        EXPECT_EQ(refused.status, 1) << read.front();
        EXPECT_EQ(refused.out, "");
        EXPECT_NE(refused.err.find("not a readable settings file"), std::string::npos) << refused.err;
    }
    for (const char* script : { "set showBg true\n", "unset showBg\n" }) {
        RunResult refused = phone.host(script);
        EXPECT_EQ(refused.status, 2) << script;
        EXPECT_NE(refused.err.find("not a readable settings file"), std::string::npos) << refused.err;
    }
    EXPECT_EQ(readFile(file), corrupt);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    // The host's --force does the same as kavrin-prefs's.
    PhoneRoot hosted;
    hosted.writeRaw(PhoneRoot::kSettings, corrupt);
    RunResult hostForced = hosted.host("set showBg true\n", { "--force" });
    EXPECT_EQ(hostForced.status, 0) << hostForced.err;
    EXPECT_EQ(weeapp::sys::count(hosted.settings()), 1u);
    EXPECT_EQ(std::distance(fs::directory_iterator((hosted.path() / PhoneRoot::kSettings).parent_path()), fs::directory_iterator()), 2);
    EXPECT_NE(hostForced.err.find(".broken-"), std::string::npos) << hostForced.err;

    RunResult forced = prefs(phone, { "--force", "set", "showBg", "true" });
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(weeapp::sys::count(phone.settings()), 1u);
    std::vector<fs::path> copies;
    for (const auto& entry : fs::directory_iterator(file.parent_path()))
        if (entry.path() != file)
            copies.push_back(entry.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(std::regex_match(copies[0].filename().string(), std::regex(R"(de\.quillfen\.kavrin\.plist\.broken-\d{8}T\d{6}Z)")))
        << copies[0];
    EXPECT_EQ(readFile(copies[0]), corrupt);
    EXPECT_NE(forced.err.find(copies[0].string()), std::string::npos) << forced.err;

    for (const std::vector<std::string>& bad : { std::vector<std::string> {}, { "set", "key" }, { "get" }, { "list", "extra" }, { "remove", "key" },
             { "--fast", "list" }, { "keys", "extra" } })
        EXPECT_EQ(prefs(phone, bad).status, 2);
    EXPECT_EQ(weeapp::sys::count(phone.settings()), 1u);

    fs::path mistyped = phone.path() / "nothere";
    EXPECT_EQ(runProgram("kavrin-prefs", { "--root", "", "list" }).status, 2);
    EXPECT_EQ(runProgram("kavrin-prefs", { "--root", mistyped.string(), "set", "showBg", "true" }).status, 2);
    EXPECT_FALSE(fs::exists(mistyped));
}

// A settings file that the phone's reader refuses whole is unreadable to both tools: set and
// unset refuse it and leave its bytes alone; get reads nothing. A UID written the way XML writes
// one is read and written back as a UID.
TEST(Prefs, MalformedXmlIsUnreadableAndUidsStayUids)
{
    PhoneRoot phone;
    const fs::path file = phone.path() / PhoneRoot::kSettings;
    for (const std::string& bytes : malformedXmlPropertyLists("<dict><key>showBg</key><true/></dict>")) {
        phone.writeRaw(PhoneRoot::kSettings, bytes);
        RunResult set = prefs(phone, { "set", "showBg", "false" });
        EXPECT_EQ(set.status, 2) << bytes;
        EXPECT_NE(set.err.find("not a readable settings file"), std::string::npos) << set.err;
        EXPECT_EQ(prefs(phone, { "get", "showBg" }).status, 1) << bytes;
        RunResult hosted = phone.host("unset showBg\n");
        EXPECT_EQ(hosted.status, 2) << bytes;
        EXPECT_NE(hosted.err.find("not a readable settings file"), std::string::npos) << hosted.err;
        EXPECT_EQ(readFile(file), bytes);
    }

    phone.writeRaw(PhoneRoot::kSettings,
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>archived</key><dict><key>CF$UID</key><integer>4</integer></dict></dict></plist>");
    EXPECT_EQ(prefs(phone, { "get", "archived" }).out, "UID(4)\n");
    ASSERT_EQ(prefs(phone, { "set", "showBg", "true" }).status, 0);
    RunResult hosted = phone.host("set showLabels true\n");
    ASSERT_EQ(hosted.status, 0) << hosted.err;
    EXPECT_EQ(*weeapp::sys::objectForKey(phone.settings(), "archived"), *weeapp::sys::Value::uid(4));
    EXPECT_EQ(weeapp::sys::count(phone.settings()), 3u);
}

// A host running in one process rebuilds when kavrin-prefs changes a shaping setting in
// another: the notification crosses over through the phone's notification folder. The host
// answers each command as it comes, in the JSON protocol.
TEST(Prefs, HostInAnotherProcessRebuilds)
{
    PhoneRoot phone;
    phone.writeFavorites({ favorite("Ada", 1, "_$!<Mobile>!$_", "1"), favorite("Bo", 2, "iPhone", "2") });
    InteractiveHost host({ "--root", phone.root(), "--protocol", "json" });
    ASSERT_TRUE(host.running());
    host.send("view");
    EXPECT_EQ(host.readLine(), "{\"ok\": true}");
    host.send("dump");
    std::optional<std::string> before = host.readLine();
    ASSERT_TRUE(before);
    EXPECT_TRUE(before->starts_with("{\"ok\": true, \"dump\": {\"class\": \"View\", \"frame\": [2, 2, 316, 110]")) << *before;

    ASSERT_EQ(prefs(phone, { "set", "metroStyle", "true" }).status, 0);
    host.send("dump");
    std::optional<std::string> after = host.readLine();
    ASSERT_TRUE(after);
    EXPECT_TRUE(after->starts_with("{\"ok\": true, \"dump\": {\"class\": \"View\", \"frame\": [0, 0, 320, 106]")) << *after;

    // Without the notification the file changes but the view stays as built.
    ASSERT_EQ(prefs(phone, { "--no-notify", "set", "tilesAlign", "2" }).status, 0);
    host.send("height");
    host.send("dump");
    EXPECT_EQ(host.readLine(), "{\"ok\": true, \"height\": 128}");
    EXPECT_EQ(host.readLine(), after);
    EXPECT_EQ(host.finish(), 0);
}

// keys prints the table; get of a key that is not set prints its default and says so; set takes
// a known key with a value of its type and refuses anything else with status 2, naming the known
// keys or the type and writing nothing; --force stores it as given. list escapes every value and
// key onto one line.
TEST(Prefs, KeysDefaultsAndCheckedValues)
{
    PhoneRoot phone;
    RunResult keys = prefs(phone, { "keys" });
    EXPECT_EQ(keys.status, 0);
    for (const char* key : { "metroStyle", "fiveIcons", "showLabels", "showBg", "animateMetrosOff", "askForCall", "askForText", "askForMail",
             "standardAction", "tilesAlign", "metroBackground" })
        EXPECT_NE(keys.out.find(std::string(key) + " "), std::string::npos) << key;
    EXPECT_EQ(keys.lines().size(), 11u);

    EXPECT_EQ(prefs(phone, { "get", "metroStyle" }).out, "false (not set: the default)\n");
    EXPECT_EQ(prefs(phone, { "get", "tilesAlign" }).out, "0 (not set: the default)\n");

    for (auto [key, value, expected] : { std::tuple { "metroStlye", "true", "the keys the widget reads are metroStyle, " },
             { "", "x", "unknown key \"\"" }, { "tilesAlign", "three", "takes an integer" }, { "metroStyle", "ture", "takes a boolean" },
             { "standardAction", "99999999999", "takes an integer" }, { "tilesAlign", "3.5", "takes an integer" } }) {
        RunResult refused = prefs(phone, { "set", key, value });
        EXPECT_EQ(refused.status, 2) << key << ' ' << value;
        EXPECT_NE(refused.err.find(expected), std::string::npos) << refused.err;
    }
    EXPECT_FALSE(fs::exists(phone.path() / PhoneRoot::kSettings));

    const std::pair<const char*, bool> booleans[] = { { "YES", true }, { "no", false }, { "True", true }, { "FALSE", false }, { "1", true }, { "0", false } };
    for (auto [text, expected] : booleans) {
        ASSERT_EQ(prefs(phone, { "set", "fiveIcons", text }).status, 0) << text;
        EXPECT_EQ(*weeapp::sys::objectForKey(phone.settings(), "fiveIcons"), *weeapp::sys::Value::boolean(expected)) << text;
    }
    ASSERT_EQ(prefs(phone, { "set", "metroBackground", "+7" }).status, 0);
    EXPECT_EQ(*weeapp::sys::objectForKey(phone.settings(), "metroBackground"), *weeapp::sys::Value::integer(7));
    // The help says what set takes: a sign is allowed, and said to be.
    ASSERT_EQ(prefs(phone, { "set", "tilesAlign", "--", "-3" }).status, 0);
    EXPECT_EQ(*weeapp::sys::objectForKey(phone.settings(), "tilesAlign"), *weeapp::sys::Value::integer(-3));
    EXPECT_NE(prefs(phone, { "--help" }).out.find("an integer as decimal digits with an optional sign"), std::string::npos);
    ASSERT_EQ(prefs(phone, { "--force", "set", "metroStyle", "ture" }).status, 0);
    EXPECT_EQ(*weeapp::sys::objectForKey(phone.settings(), "metroStyle"), *weeapp::sys::Value::string("ture"));

    phone.writeSettings({ { "motto", weeapp::sys::Value::string("two\nlines\tand \"quotes\" \x01") }, { "odd key", weeapp::sys::Value::string("x") },
        { "list", weeapp::sys::Value::array({ weeapp::sys::Value::string("a\nb") }) } });
    RunResult list = prefs(phone, { "list" });
    EXPECT_EQ(list.out, "list [\"a\\nb\"]\nmotto \"two\\nlines\\tand \\\"quotes\\\" \\x01\"\n\"odd key\" x\n");
    // What get prints, set --force takes back.
    ASSERT_EQ(prefs(phone, { "--force", "set", "copy", prefs(phone, { "get", "motto" }).lines().at(0) }).status, 0);
    EXPECT_EQ(*weeapp::sys::objectForKey(phone.settings(), "copy"), *weeapp::sys::objectForKey(phone.settings(), "motto"));
}

// A message about a path with a newline in it stays on one line, the newline escaped.
TEST(Prefs, AMessageStaysOnOneLine)
{
    TemporaryFolder folder;
    const fs::path root = folder.path() / "two\nlines";
    fs::create_directories(root);
    RunResult refused = runProgram("kavrin-prefs", { "--root", root.string(), "set", "showBg", "true" });
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_NE(refused.err.find("two\\nlines"), std::string::npos) << refused.err;
}

// A symbolic link, a FIFO or a folder in the settings file's place is neither read nor replaced
// by any tool: get and list exit 1, set and unset (with --force too) and the host's set and unset
// exit 2, each saying so; the link and what it points to stay as they were.
TEST(Prefs, NothingButARegularFileIsReadOrReplaced)
{
    TemporaryFolder elsewhere;
    fs::path target = elsewhere.path() / "settings.plist";
    ASSERT_TRUE(weeapp::sys::writePropertyListAtomically(*weeapp::sys::Value::dictionary({ { "showBg", weeapp::sys::Value::boolean(true) } }), target.string(),
        weeapp::sys::PropertyListFormat::Xml));
    const std::string targetBytes = readFile(target);

    auto makeLink = [&](PhoneRoot& phone) {
        fs::create_directories((phone.path() / PhoneRoot::kSettings).parent_path());
        fs::create_symlink(target, phone.path() / PhoneRoot::kSettings);
    };
    auto makeFifo = [](PhoneRoot& phone) { phone.makeFifo(PhoneRoot::kSettings); };
    auto makeFolder = [](PhoneRoot& phone) { fs::create_directories(phone.path() / PhoneRoot::kSettings); };
    for (const auto& make : std::vector<std::function<void(PhoneRoot&)>> { makeLink, makeFifo, makeFolder }) {
        PhoneRoot phone;
        make(phone);
        fs::path file = phone.path() / PhoneRoot::kSettings;
        auto type = fs::symlink_status(file).type();
        for (const std::vector<std::string>& read : { std::vector<std::string> { "list" }, { "get", "showBg" } }) {
            RunResult refused = prefs(phone, read);
            EXPECT_EQ(refused.status, 1) << read.front();
            EXPECT_EQ(refused.out, "");
            EXPECT_NE(refused.err.find("not a regular file"), std::string::npos) << refused.err;
        }
        for (const std::vector<std::string>& change : { std::vector<std::string> { "set", "showBg", "false" }, { "unset", "showBg" },
                 { "--force", "set", "showBg", "false" }, { "--force", "unset", "showBg" } }) {
            RunResult refused = prefs(phone, change);
            EXPECT_EQ(refused.status, 2) << change.front();
            EXPECT_NE(refused.err.find("not a regular file"), std::string::npos) << refused.err;
        }
        for (const char* script : { "set showBg false\n", "unset showBg\n" }) {
            RunResult refused = phone.host(script, { "--force" });
            EXPECT_EQ(refused.status, 2) << script;
            EXPECT_NE(refused.err.find("not a regular file"), std::string::npos) << refused.err;
        }
        EXPECT_EQ(fs::symlink_status(file).type(), type);
        EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
    }
    EXPECT_EQ(readFile(target), targetBytes);
}

// While another process holds the settings lock, kavrin-prefs and the host's set wait a few
// seconds at most, then give up with status 2 and a message naming the lock, the file untouched.
TEST(Prefs, AHeldLockIsWaitedForBoundedly)
{
    PhoneRoot phone;
    phone.writeSettings({ { "showBg", weeapp::sys::Value::boolean(true) } });
    const std::string before = readFile(phone.path() / PhoneRoot::kSettings);
    fs::path lockFile = phone.path() / "private/var/run/kavrin-notify/.settings.lock";
    fs::create_directories(lockFile.parent_path());
    // An flock belongs to an open file: this one conflicts with the programs' own.
    weeapp::FileDescriptor held(::open(lockFile.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644));
    ASSERT_TRUE(held);
    ASSERT_EQ(::flock(held.get(), LOCK_EX), 0);

    StartedProgram writer("kavrin-prefs", { "--root", phone.root(), "set", "showBg", "false" });
    StartedProgram host("kavrin-host", { "--root", phone.root(), "--script", "-" }, "set showBg false\n");
    for (StartedProgram* program : { &writer, &host }) {
        RunResult result = program->finish();
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(lockFile.string()), std::string::npos) << result.err;
    }
    EXPECT_EQ(readFile(phone.path() / PhoneRoot::kSettings), before);

    held.reset();
    EXPECT_EQ(prefs(phone, { "set", "showBg", "false" }).status, 0);
}

// Writers refuse a root without private/var/mobile and create nothing there, unless --create;
// reading and unsetting create nothing anywhere; without --root the tools use the demo phone of
// the checkout they were built in, whatever the current folder.
TEST(Prefs, NoFilesWhereNobodyAsked)
{
    TemporaryFolder folder;
    for (const std::vector<std::string>& change : { std::vector<std::string> { "set", "showBg", "true" }, { "unset", "showBg" } }) {
        std::vector<std::string> arguments { "--root", folder.path().string() };
        arguments.insert(arguments.end(), change.begin(), change.end());
        RunResult refused = runProgram("kavrin-prefs", arguments);
        EXPECT_EQ(refused.status, 2) << change.front();
        EXPECT_NE(refused.err.find("does not look like a phone root"), std::string::npos) << refused.err;
    }
    EXPECT_TRUE(fs::is_empty(folder.path()));

    PhoneRoot phone;
    for (const char* script : { "set showBg true\n", "unset showBg\n" }) {
        fs::remove_all(phone.path() / "private");
        RunResult refused = phone.host(script);
        EXPECT_EQ(refused.status, 2) << script;
        EXPECT_NE(refused.err.find("does not look like a phone root"), std::string::npos) << refused.err;
        // The host watches its notification folder, but makes nothing of the phone's own.
        EXPECT_FALSE(fs::exists(phone.path() / "private/var/mobile"));
    }
    EXPECT_EQ(phone.host("set showBg true\n", { "--create" }).status, 0);
    EXPECT_EQ(*weeapp::sys::objectForKey(phone.settings(), "showBg"), *weeapp::sys::Value::boolean(true));
    EXPECT_EQ(runProgram("kavrin-prefs", { "--root", folder.path().string(), "--create", "set", "showBg", "true" }).status, 0);
    EXPECT_TRUE(fs::is_regular_file(folder.path() / PhoneRoot::kSettings));

    PhoneRoot bare;
    for (const std::vector<std::string>& quiet : { std::vector<std::string> { "unset", "showBg" }, { "list" }, { "get", "showBg" }, { "keys" } })
        EXPECT_EQ(prefs(bare, quiet).status, 0) << quiet.front();
    EXPECT_FALSE(fs::exists(bare.path() / "private/var/run"));
    EXPECT_EQ(bare.host("unset showBg\n").status, 0);
    EXPECT_TRUE(fs::is_empty(bare.path() / "private/var/mobile"));
    EXPECT_FALSE(fs::exists(bare.path() / "private/var/run/kavrin-notify/.settings.lock"));

    TemporaryFolder current;
    const ScopedEnvironment noDemoPhone("KAVRIN_DEMO_PHONE", std::nullopt);
    RunResult listed = StartedProgram("kavrin-prefs", { "list" }, "", current.path()).finish();
    fs::path demoPhone = buildDirectory().parent_path() / "demo-phone";
    EXPECT_TRUE(listed.status == 0 || listed.err.find(demoPhone.string()) != std::string::npos) << listed.err;
    EXPECT_TRUE(fs::is_empty(current.path()));
}

}
}
