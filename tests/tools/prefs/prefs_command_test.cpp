#include "host/host_harness.h"

#include <gtest/gtest.h>

namespace kavrin::testing {
namespace {

RunResult prefs(const PhoneRoot& phone, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), { "--root", phone.root() });
    return runProgram("kavrin-prefs", arguments);
}

// set types its value, get and list print it so that it reads back the same, unset removes it.
TEST(Prefs, SetGetListUnsetRoundTrip)
{
    PhoneRoot phone;
    for (auto [key, value] : { std::pair { "metroStyle", "true" }, { "tilesAlign", "3" }, { "label", "\"007\"" }, { "motto", "carpe diem" },
             { "blank", "\"\"" }, { "offset", "-12" } })
        ASSERT_EQ(prefs(phone, { "set", key, value }).status, 0) << key;
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

// A corrupt settings file is replaced by one with the new key (and a warning); usage errors
// give status 2 and leave the file alone.
TEST(Prefs, CorruptFileAndUsageErrors)
{
    PhoneRoot phone;
    phone.writeRaw(PhoneRoot::kSettings, "\x01\x02 not a plist");
    RunResult fixed = prefs(phone, { "set", "showBg", "true" });
    EXPECT_EQ(fixed.status, 0);
    EXPECT_FALSE(fixed.err.empty());
    EXPECT_EQ(sys::count(phone.settings()), 1u);
    for (const std::vector<std::string>& bad : { std::vector<std::string> {}, { "set", "key" }, { "get" }, { "list", "extra" }, { "remove", "key" },
             { "--fast", "list" } })
        EXPECT_EQ(prefs(phone, bad).status, 2);
    EXPECT_EQ(sys::count(phone.settings()), 1u);
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
