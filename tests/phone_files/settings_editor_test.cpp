#include "setting_value.h"
#include "settings_change.h"
#include "settings_editor.h"
#include "settings_lock.h"
#include "support/temporary_folder.h"
#include <weeapp/sys/files/phone_root.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <functional>
#include <regex>
#include <set>

namespace kavrin::phone_files {
namespace {

namespace fs = std::filesystem;
using kavrin::testing::fileBytes;
using kavrin::testing::TemporaryFolder;

// Each kind of thing in the file's place loads as its state; only Missing and Readable may be
// saved, and a save never replaces a link, a FIFO or a folder that came after the load.
TEST(SettingsEditor, LoadsEachKindOfEntryAsItsState)
{
    TemporaryFolder folder;
    fs::path file = folder.path() / "settings.plist";
    using State = SettingsEditor::State;
    EXPECT_EQ(SettingsEditor::load(file.string()).state(), State::Missing);

    folder.write("settings.plist", "<plist><dict><key>a</key><true/></dict></plist>");
    SettingsEditor readable = SettingsEditor::load(file.string());
    EXPECT_EQ(readable.state(), State::Readable);
    EXPECT_EQ(*readable.value("a"), *weeapp::sys::Value::boolean(true));

    for (const char* bytes : { "garbage", "<plist><array/></plist>", "" }) {
        folder.write("settings.plist", bytes);
        SettingsEditor unreadable = SettingsEditor::load(file.string());
        EXPECT_EQ(unreadable.state(), State::Unreadable) << bytes;
        EXPECT_FALSE(unreadable.save());
        EXPECT_FALSE(unreadable.write("<plist><dict/></plist>"));
        EXPECT_NE(unreadable.problem().find("not a readable settings file"), std::string::npos);
        EXPECT_EQ(fileBytes(file), bytes);
    }
    // A file past 64 MiB is not even read in, and is said to be unreadable; one of 64 MiB is read
    // and found to be no settings file. (Both sparse, so they take no room.)
    for (const std::uintmax_t size : { std::uintmax_t { 64 } << 20, (std::uintmax_t { 64 } << 20) + 1 }) {
        fs::resize_file(file, size);
        SettingsEditor huge = SettingsEditor::load(file.string());
        EXPECT_EQ(huge.state(), State::Unreadable);
        const bool read = huge.problem().find("not a readable settings file") != std::string::npos;
        EXPECT_EQ(read, size == std::uintmax_t { 64 } << 20) << size;
        fs::resize_file(file, 0);
    }

    fs::remove(file);
    fs::create_symlink(folder.path() / "elsewhere.plist", file);
    folder.write("elsewhere.plist", "<plist><dict/></plist>");
    EXPECT_EQ(SettingsEditor::load(file.string()).state(), State::NotAFile);
    EXPECT_EQ(SettingsEditor::load(file.string()).problem(), file.string() + " is not a regular file; it is left as it is");
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    EXPECT_EQ(SettingsEditor::load(file.string()).state(), State::NotAFile);
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_EQ(SettingsEditor::load(file.string()).state(), State::NotAFile);
    fs::remove(file);

    // A path through a regular file is a missing file; a path the system cannot look at (a name
    // too long) is an unreadable one, which is never replaced.
    EXPECT_EQ(SettingsEditor::load((folder.path() / "elsewhere.plist" / "settings.plist").string()).state(), State::Missing);
    SettingsEditor unknown = SettingsEditor::load((folder.path() / std::string(300, 'x')).string());
    EXPECT_EQ(unknown.state(), State::Unreadable);
    EXPECT_EQ(unknown.problem(), (folder.path() / std::string(300, 'x')).string() + " cannot be read; it is left as it is");
    EXPECT_FALSE(unknown.save());
    EXPECT_EQ(unknown.setAside(), std::nullopt);

    // A file read whole that a link has replaced since is not written through or over the link.
    folder.write("settings.plist", "<plist><dict/></plist>");
    SettingsEditor loaded = SettingsEditor::load(file.string());
    ASSERT_EQ(loaded.state(), State::Readable);
    fs::remove(file);
    fs::create_symlink(folder.path() / "elsewhere.plist", file);
    EXPECT_FALSE(loaded.save());
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(settingsWriteFailure(file.string(), ENOSPC), file.string() + " is not a regular file; it is left as it is");
    fs::remove(file);
    EXPECT_EQ(settingsWriteFailure(file.string(), ENOSPC), "cannot write " + file.string() + ": No space left on device; it is left as it was");
    EXPECT_EQ(settingsWriteFailure(file.string(), EROFS), "cannot write " + file.string() + ": Read-only file system; it is left as it was");
    EXPECT_EQ(settingsWriteFailure(file.string(), 0), "cannot write " + file.string() + "; it is left as it was");

    SettingsEditor fresh = SettingsEditor::load(file.string());
    fresh.set("b", weeapp::sys::Value::integer(2));
    fs::create_symlink(folder.path() / "elsewhere.plist", file);
    EXPECT_FALSE(fresh.save());
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(fileBytes(folder.path() / "elsewhere.plist"), "<plist><dict/></plist>");
    fs::remove(file);

    // A file that appeared since a missing one was looked at is not written over, and the refusal
    // gives no reason from an earlier call.
    SettingsEditor missing = SettingsEditor::load(file.string());
    folder.write("settings.plist", "someone else's");
    errno = EIO;
    EXPECT_FALSE(missing.write("<plist><dict/></plist>"));
    EXPECT_EQ(errno, 0);
    EXPECT_EQ(fileBytes(file), "someone else's");
}

// setAside keeps an unreadable file's bytes in a new NAME.broken-STAMP file, never over an
// earlier copy, and leaves the editor empty so that save replaces the file.
TEST(SettingsEditor, SetAsideKeepsEveryUnreadableVersion)
{
    TemporaryFolder folder;
    fs::path file = folder.path() / "settings.plist";
    std::vector<std::string> copies;
    for (const char* bytes : { "first garbage", "second garbage" }) {
        folder.write("settings.plist", bytes);
        SettingsEditor settings = SettingsEditor::load(file.string());
        std::optional<std::string> copy = settings.setAside();
        ASSERT_TRUE(copy);
        EXPECT_EQ(fileBytes(*copy), bytes);
        // The stamp is the time of the copy in UTC, to the second: settings.plist.broken-20261210T064501Z.
        const std::time_t before = std::time(nullptr);
        std::tm parts {};
        ::gmtime_r(&before, &parts);
        char year[8];
        std::strftime(year, sizeof year, "%Y", &parts);
        EXPECT_TRUE(std::regex_match(fs::path(*copy).filename().string(), std::regex(std::string("settings\\.plist\\.broken-") + year + "[01][0-9][0-3][0-9]T[0-2][0-9][0-5][0-9][0-6][0-9]Z(-[0-9]+)?")))
            << *copy;
        if (copies.empty()) {
            EXPECT_TRUE(copy->ends_with("Z")) << *copy;
        }
        copies.push_back(*copy);
        settings.set("a", weeapp::sys::Value::boolean(true));
        ASSERT_TRUE(settings.save());
        EXPECT_EQ(SettingsEditor::load(file.string()).values().size(), 1u);
    }
    EXPECT_NE(copies[0], copies[1]);
    EXPECT_EQ(fileBytes(copies[0]), "first garbage");

    SettingsEditor readable = SettingsEditor::load(file.string());
    EXPECT_FALSE(readable.setAside());
}

// Copies made within one second are numbered -2, -3 and on up to -100; past that setAside gives
// up and leaves the file alone. (The copies for this second and the next two already exist, so
// the test holds when the clock ticks while it runs.)
TEST(SettingsEditor, SetAsideNumbersCopiesOfOneSecondUpTo100)
{
    for (const int taken : { 1, 99, 100 }) {
        SCOPED_TRACE(taken);
        TemporaryFolder folder;
        fs::path file = folder.path() / "settings.plist";
        folder.write("settings.plist", "garbage");
        const std::time_t now = std::time(nullptr);
        for (std::time_t second = now; second <= now + 2; ++second) {
            std::tm parts {};
            ::gmtime_r(&second, &parts);
            char stamp[32];
            std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &parts);
            const std::string stem = "settings.plist.broken-" + std::string(stamp);
            for (int attempt = 1; attempt <= taken; ++attempt)
                folder.write(attempt == 1 ? stem : stem + "-" + std::to_string(attempt), "earlier");
        }
        SettingsEditor settings = SettingsEditor::load(file.string());
        const std::optional<std::string> copy = settings.setAside();
        if (taken == 100) {
            EXPECT_EQ(copy, std::nullopt);
            EXPECT_EQ(settings.state(), SettingsEditor::State::Unreadable);
        } else {
            ASSERT_TRUE(copy);
            EXPECT_TRUE(copy->ends_with("Z-" + std::to_string(taken + 1))) << *copy;
            EXPECT_EQ(fileBytes(*copy), "garbage");
        }
    }
}

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// What stopped writes leave is removed, and nothing else: temporary files are ".NAME." and six
// letters or digits, regular files only; a set-aside copy goes only while the file still holds
// its very bytes (so it was never replaced), never when the file is gone or holds others.
TEST(SettingsEditor, RemovesOnlyWhatStoppedWritesLeft)
{
    TemporaryFolder folder;
    const fs::path file = folder.path() / "settings.plist";
    folder.write("settings.plist", "garbage");
    const std::set<std::string> leftovers { ".settings.plist.Ab3dE9", ".settings.plist.000000", "settings.plist.broken-20261210T064501Z",
        "settings.plist.broken-20261210T064501Z-7", "settings.plist.broken-20261210T064501Z-100" };
    const std::set<std::string> others { ".settings.plist.Ab3dE", ".settings.plist.Ab3dE9x", ".settings.plist.Ab-dE9", ".other.plist.Ab3dE9",
        "settings.plist.Ab3dE9", "x.settings.plist.Ab3dE9", "settings.plist.broken-2026121T064501Z", "settings.plist.broken-20261210T064501Z.txt",
        "settings.plist.broken-20261210T064501Z-1000", "settings.plist.broken-20261210T064501", "other.plist.broken-20261210T064501Z",
        "settings.plist.broken-20261210T064503Z" };
    for (const std::string& name : leftovers)
        folder.write(name, name.starts_with('.') ? "part of a write" : "garbage");
    for (const std::string& name : others)
        folder.write(name, name.ends_with("064503Z") ? "an older garbage" : "garbage");
    fs::create_symlink(file, folder.path() / ".settings.plist.Zz9Zz9");
    fs::create_symlink(file, folder.path() / "settings.plist.broken-20261210T064504Z");
    fs::create_directory(folder.path() / ".settings.plist.Qq1Qq1");
    std::set<std::string> kept = others;
    kept.insert({ "settings.plist", ".settings.plist.Zz9Zz9", "settings.plist.broken-20261210T064504Z", ".settings.plist.Qq1Qq1" });

    removeInterruptedWrites(file.string());
    EXPECT_EQ(namesIn(folder.path()), kept);
    EXPECT_EQ(fileBytes(file), "garbage");

    // Without the file, or with other bytes in it, every copy is all that is left of its bytes.
    folder.write("settings.plist.broken-20261210T064505Z", "garbage");
    folder.write(".settings.plist.Yy8Yy8", "part of a write");
    fs::remove(file);
    removeInterruptedWrites(file.string());
    EXPECT_TRUE(namesIn(folder.path()).contains("settings.plist.broken-20261210T064505Z"));
    EXPECT_FALSE(namesIn(folder.path()).contains(".settings.plist.Yy8Yy8"));
    folder.write("settings.plist", "<plist><dict/></plist>");
    removeInterruptedWrites(file.string());
    EXPECT_TRUE(namesIn(folder.path()).contains("settings.plist.broken-20261210T064505Z"));
}

// The next change of the settings removes what stopped writes left, under the lock; a change
// that writes nothing (removing keys that are not there) takes no lock and removes nothing.
TEST(SettingsChange, TheNextWriteRemovesWhatStoppedWritesLeft)
{
    TemporaryFolder phone;
    weeapp::sys::setPhoneRoot(phone.path());
    const fs::path file = settingsFilePath();
    fs::create_directories(file.parent_path());
    const fs::path temporary = file.parent_path() / ("." + file.filename().string() + ".a1B2c3");
    std::ofstream(temporary) << "part of a write";
    SettingsRules rules;
    rules.createRoot = true;
    EXPECT_EQ(unsetSetting("showLabels", rules).outcome, SettingsChange::Outcome::Unchanged);
    EXPECT_TRUE(fs::exists(temporary));
    EXPECT_EQ(setSetting("showLabels", weeapp::sys::Value::boolean(true), rules).outcome, SettingsChange::Outcome::Written);
    EXPECT_EQ(namesIn(file.parent_path()), std::set<std::string> { file.filename().string() });
    weeapp::sys::setPhoneRoot("/");
}

// The stops a traced child makes (each system call's entry and exit) until it ends, or until the
// count given, where it is killed.
int runTracedChild(const std::function<void()>& work, int killAt)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        ::raise(SIGSTOP);
        work();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0); // the SIGSTOP
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, reinterpret_cast<void*>(static_cast<std::uintptr_t>(PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL)));
    int stops = 0;
    for (;;) {
        if (stops == killAt) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return stops;
        }
        ::ptrace(PTRACE_SYSCALL, child, nullptr, nullptr);
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status) || WIFSIGNALED(status))
            return stops;
        ++stops;
    }
}

// A write killed at any moment leaves the settings as they were or as it made them, and the
// next write leaves the folder clean: no temporary file, and of --force's copies of an
// unreadable file exactly one, holding its bytes. The writer is killed at each of its system
// calls in turn, before the call and after it, which are all the moments the files can tell apart.
TEST(SettingsChange, AWriteKilledAtAnyMomentLeavesTheFolderCleanAfterTheNext)
{
    for (const bool force : { false, true }) {
        SCOPED_TRACE(force ? "--force over an unreadable file" : "a set");
        TemporaryFolder phone;
        weeapp::sys::setPhoneRoot(phone.path());
        const fs::path file = settingsFilePath();
        const fs::path folder = file.parent_path();
        const std::string before = force ? "garbage" : "<plist><dict><key>a</key><true/></dict></plist>";
        SettingsRules rules;
        rules.createRoot = true;
        rules.replaceUnreadable = force;
        auto write = [&] { setSetting("showLabels", weeapp::sys::Value::boolean(true), rules); };
        auto reset = [&] {
            fs::remove_all(folder);
            fs::create_directories(folder);
            std::ofstream(file, std::ios::binary) << before;
        };
        reset();
        const int stops = runTracedChild(write, -1);
        ASSERT_GT(stops, 20);
        ASSERT_LT(stops, 2000);
        const std::string after = fileBytes(file);
        ASSERT_NE(after, before);
        int leftBehind = 0;
        for (int killAt = 0; killAt < stops; ++killAt) {
            SCOPED_TRACE(killAt);
            reset();
            runTracedChild(write, killAt);
            const std::string now = fileBytes(file);
            EXPECT_TRUE(now == before || now == after) << now;
            leftBehind += namesIn(folder).size() > (now == after && force ? 2u : 1u);
            ASSERT_EQ(setSetting("tilesAlign", weeapp::sys::Value::integer(2), rules).outcome, SettingsChange::Outcome::Written);
            std::set<std::string> names = namesIn(folder);
            EXPECT_TRUE(names.erase(file.filename().string()));
            if (force) {
                ASSERT_EQ(names.size(), 1u) << *names.begin();
                EXPECT_TRUE(names.begin()->starts_with(file.filename().string() + ".broken-")) << *names.begin();
                EXPECT_EQ(fileBytes(folder / *names.begin()), before);
            } else {
                EXPECT_TRUE(names.empty()) << *names.begin();
            }
        }
        // The moments the test is about: some kills did leave files behind for the next write.
        EXPECT_GT(leftBehind, 0);
        weeapp::sys::setPhoneRoot("/");
    }
}

// A lock another open file holds is waited for no longer than asked, and the failure names the
// lock file and the wait; once it is free the lock is taken. The lock file is not followed
// through a link.
TEST(SettingsLock, GivesUpAfterTheLongestWait)
{
    TemporaryFolder phone;
    weeapp::sys::setPhoneRoot(phone.path());
    std::string path = SettingsLock::lockFilePath();
    {
        SettingsLock first;
        ASSERT_TRUE(first.held()) << first.failure();
        SettingsLock second(std::chrono::milliseconds(50));
        EXPECT_FALSE(second.held());
        EXPECT_EQ(second.failure(), "the settings lock " + path + " is held by another process; gave up after 0.05 s");
    }
    EXPECT_TRUE(SettingsLock(std::chrono::milliseconds(0)).held());
    // Anyone the umask allows may read and write the lock file; no one may run it.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat status { };
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);

    fs::remove(path);
    fs::create_symlink(phone.path() / "target", path);
    SettingsLock linked(std::chrono::milliseconds(0));
    EXPECT_FALSE(linked.held());
    EXPECT_TRUE(linked.failure().starts_with("cannot open the settings lock " + path + ": ")) << linked.failure();
    EXPECT_FALSE(fs::exists(phone.path() / "target"));
    weeapp::sys::setPhoneRoot("/");
}

// Texts with control characters, quotes and backslashes print on one line and read back as the
// same text; keys that would not stand alone before a value are quoted the same way.
TEST(SettingValue, EscapedTextsStayOnOneLineAndReadBack)
{
    for (std::string text : { std::string("two\nlines"), std::string("tab\there"), std::string("cr\r"), std::string("\x01\x7f"),
             std::string("say \"hi\" \\ bye"), std::string("\\x41 stays"), std::string("") }) {
        std::string line = settingValueText(*weeapp::sys::Value::string(text));
        EXPECT_EQ(line.find_first_of("\n\r"), std::string::npos) << line;
        EXPECT_EQ(*settingValueFromText(line), *weeapp::sys::Value::string(text)) << line;
    }
    EXPECT_EQ(settingKeyText("plain"), "plain");
    EXPECT_EQ(settingKeyText("two words"), "\"two words\"");
    EXPECT_EQ(settingKeyText("line\nbreak"), "\"line\\nbreak\"");
    EXPECT_EQ(settingKeyText(""), "\"\"");
}

// Texts type as the settings writer's users write them: true and false, decimal integers with
// an optional sign in 64 bits (past that unsigned, past that text), double-quoted texts with their
// escapes, and anything else as the text it is.
TEST(SettingValue, TextsTypeAsTheyRead)
{
    using weeapp::sys::Value;
    const std::pair<std::string, weeapp::sys::ValuePtr> cases[] = {
        { "true", Value::boolean(true) },
        { "false", Value::boolean(false) },
        { "True", Value::string("True") },
        { "42", Value::integer(42) },
        { "+42", Value::integer(42) },
        { "-42", Value::integer(-42) },
        { "0", Value::integer(0) },
        { "9223372036854775807", Value::integer(INT64_MAX) },
        { "-9223372036854775808", Value::integer(INT64_MIN) },
        { "9223372036854775808", Value::unsignedInteger(std::uint64_t { 1 } << 63) },
        { "+18446744073709551615", Value::unsignedInteger(UINT64_MAX) },
        { "18446744073709551616", Value::string("18446744073709551616") },
        { "-9223372036854775809", Value::string("-9223372036854775809") },
        { "", Value::string("") },
        { "+", Value::string("+") },
        { "-", Value::string("-") },
        { "+-5", Value::string("+-5") },
        { "--5", Value::string("--5") },
        { "5x", Value::string("5x") },
        { " 5", Value::string(" 5") },
        { "\"007\"", Value::string("007") },
        { "\"\"", Value::string("") },
        { "\"", Value::string("\"") },
        { "\"a", Value::string("\"a") },
        { "\"a\\\"b\"", Value::string("a\"b") },
        { "\"\\\\\"", Value::string("\\") },
        { "\"\\n\\r\\t\"", Value::string("\n\r\t") },
        { "\"\\x41\\x7e\\xfF\\x09\\xaf\\xAF\\x30\"", Value::string("A~\xff\x09\xaf\xaf"
                                                                   "0") },
        { "\"\\x4\"", Value::string("\\x4") },
        { "\"\\x/0\\x:0\\x`0\\xg0\\x@0\\xG0\"", Value::string("\\x/0\\x:0\\x`0\\xg0\\x@0\\xG0") },
        { "\"\\x0/\\x0:\\x0`\\x0g\\x0@\\x0G\"", Value::string("\\x0/\\x0:\\x0`\\x0g\\x0@\\x0G") },
        { "\"\\q\"", Value::string("\\q") },
        { "\"end\\\"", Value::string("end\\") },
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(*settingValueFromText(text), *value) << text;
    // A text that is part of a longer one ends where it ends, not where the digits do.
    EXPECT_EQ(*settingValueFromText(std::string_view("100000000000000000000").substr(0, 20)), *Value::unsignedInteger(10000000000000000000ULL));
    EXPECT_EQ(*settingValueFromText(std::string_view("-421").substr(0, 3)), *Value::integer(-42));
}

// Every kind prints on one line, each apart from the others: texts that would read as another
// kind, or that have outer white space or control characters, are quoted; reals always have a
// point or an exponent.
TEST(SettingValue, EveryKindPrintsApart)
{
    using weeapp::sys::Value;
    const std::pair<weeapp::sys::ValuePtr, std::string> cases[] = {
        { Value::boolean(true), "true" },
        { Value::boolean(false), "false" },
        { Value::integer(-5), "-5" },
        { Value::unsignedInteger(UINT64_MAX), "18446744073709551615" },
        { Value::real(3), "3.0" },
        { Value::real(0.1), "0.1" },
        { Value::real(1e300), "1e+300" },
        { Value::real(INFINITY), "inf" },
        { Value::real(-INFINITY), "-inf" },
        { Value::data({ 0x00, 0x7f, 0xab, 0xf0 }), "<007fabf0>" },
        { Value::data({}), "<>" },
        { Value::date(0), "2001-01-01T00:00:00Z" },
        { Value::uid(7), "UID(7)" },
        { Value::array({}), "[]" },
        { Value::array({ Value::integer(1), Value::string("a,b"), Value::array({ Value::boolean(true) }) }), "[1, \"a,b\", [true]]" },
        { Value::dictionary({}), "{}" },
        { Value::dictionary({ { "k", Value::boolean(false) }, { "two words", Value::string("x") } }), "{\"k\": false, \"two words\": \"x\"}" },
        { Value::string("plain"), "plain" },
        { Value::string("say \"hi\""), "say \"hi\"" },
        { Value::string("\"q"), "\"q" },
        { Value::string("a~b\x80"), "a~b\x80" },
        { Value::string("infinity"), "infinity" },
        { Value::string(""), "\"\"" },
        { Value::string(" lead"), "\" lead\"" },
        { Value::string("trail "), "\"trail \"" },
        { Value::string("\"hi\""), "\"\\\"hi\\\"\"" },
        { Value::string("a\tb\x01\x1f\x7f"), "\"a\\tb\\x01\\x1f\\x7f\"" },
        { Value::string("42"), "\"42\"" },
        { Value::string("true"), "\"true\"" },
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(settingValueText(*value), text) << text;
    for (const char* other : { "[x", "{x", "<x", "UID(3)", "+x", "-x", ".5", "7 dwarfs", "inf", "nan" })
        EXPECT_EQ(settingValueText(*Value::string(other)), "\"" + std::string(other) + "\"") << other;

    EXPECT_EQ(settingKeyText("\"quoted"), "\"\\\"quoted\"");
    EXPECT_EQ(settingKeyText("tab\tkey"), "\"tab\\tkey\"");
    EXPECT_EQ(settingKeyText("a\x7f"), "\"a\\x7f\"");
    EXPECT_EQ(settingKeyText("quote\"inside"), "quote\"inside");
}

}
}
