#include "host/host_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <regex>

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
    sys::ValuePtr settings = phone.settings();
    EXPECT_EQ(*sys::objectForKey(settings, "metroStyle"), *sys::Value::boolean(true));
    EXPECT_EQ(*sys::objectForKey(settings, "tilesAlign"), *sys::Value::integer(3));
    EXPECT_EQ(*sys::objectForKey(settings, "label"), *sys::Value::string("007"));
    EXPECT_EQ(*sys::objectForKey(settings, "motto"), *sys::Value::string("carpe diem"));
    EXPECT_EQ(*sys::objectForKey(settings, "blank"), *sys::Value::string(""));

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
        { "tenth", sys::Value::real(0.1) },
        { "third", sys::Value::real(third) },
        { "whole", sys::Value::real(3) },
        { "huge", sys::Value::real(-1e300) },
        { "bytes", sys::Value::data({ 0x00, 0xab, 0x10 }) },
        { "list", sys::Value::array({ sys::Value::integer(1), sys::Value::string("a, b"), sys::Value::boolean(false) }) },
        { "nested", sys::Value::dictionary({ { "k y", sys::Value::array({}) }, { "r", sys::Value::real(2.5) } }) },
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
        "third " + thirdText
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
    EXPECT_EQ(sys::count(phone.settings()), 3u);
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

    phone.writeSettings({ { "showBg", sys::Value::boolean(true) } });
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
    sys::ValuePtr settings = phone.settings();
    EXPECT_EQ(sys::count(settings), static_cast<std::size_t>(kWriters));
    for (int i = 0; i < kWriters; ++i)
        EXPECT_EQ(sys::intValue(sys::objectForKey(settings, "key" + std::to_string(i))), i);
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
    EXPECT_EQ(readFile(file), corrupt);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    RunResult forced = prefs(phone, { "--force", "set", "showBg", "true" });
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(sys::count(phone.settings()), 1u);
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
    EXPECT_EQ(sys::count(phone.settings()), 1u);

    fs::path mistyped = phone.path() / "nothere";
    EXPECT_EQ(runProgram("kavrin-prefs", { "--root", "", "list" }).status, 2);
    EXPECT_EQ(runProgram("kavrin-prefs", { "--root", mistyped.string(), "set", "showBg", "true" }).status, 2);
    EXPECT_FALSE(fs::exists(mistyped));
}

// A host running in one process rebuilds when kavrin-prefs changes a shaping setting in
// another: the notification crosses over through the phone's notification folder.
TEST(Prefs, HostInAnotherProcessRebuilds)
{
    PhoneRoot phone;
    phone.writeFavorites({ favorite("Ada", 1, "_$!<Mobile>!$_", "1"), favorite("Bo", 2, "iPhone", "2") });
    InteractiveHost host({ "--root", phone.root(), "--script", "-" });
    ASSERT_TRUE(host.running());
    host.send("view");
    host.send("dump");
    std::optional<std::string> before = host.readLine();
    ASSERT_TRUE(before);
    EXPECT_TRUE(before->starts_with("dump {\"class\": \"View\", \"frame\": [2, 2, 316, 110]")) << *before;

    ASSERT_EQ(prefs(phone, { "set", "metroStyle", "true" }).status, 0);
    host.send("dump");
    std::optional<std::string> after = host.readLine();
    ASSERT_TRUE(after);
    EXPECT_TRUE(after->starts_with("dump {\"class\": \"View\", \"frame\": [0, 0, 320, 106]")) << *after;

    // Without the notification the file changes but the view stays as built.
    ASSERT_EQ(prefs(phone, { "--no-notify", "set", "tilesAlign", "2" }).status, 0);
    host.send("height");
    host.send("dump");
    EXPECT_EQ(host.readLine(), "height 128.0");
    EXPECT_EQ(host.readLine(), after);
    EXPECT_EQ(host.finish(), 0);
}

}
}
