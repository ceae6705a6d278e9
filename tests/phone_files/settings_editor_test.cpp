#include "setting_value.h"
#include "settings_editor.h"
#include "settings_lock.h"
#include "support/temporary_folder.h"
#include <weeapp/sys/phone_root.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavrin::phone_files {
namespace {

namespace fs = std::filesystem;
using kavrin::testing::TemporaryFolder;

std::string bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

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
    EXPECT_EQ(*readable.value("a"), *sys::Value::boolean(true));

    for (const char* bytes : { "garbage", "<plist><array/></plist>", "" }) {
        folder.write("settings.plist", bytes);
        SettingsEditor unreadable = SettingsEditor::load(file.string());
        EXPECT_EQ(unreadable.state(), State::Unreadable) << bytes;
        EXPECT_FALSE(unreadable.save());
        EXPECT_NE(unreadable.problem().find("not a readable settings file"), std::string::npos);
        EXPECT_EQ(bytesOf(file), bytes);
    }

    fs::remove(file);
    fs::create_symlink(folder.path() / "elsewhere.plist", file);
    folder.write("elsewhere.plist", "<plist><dict/></plist>");
    EXPECT_EQ(SettingsEditor::load(file.string()).state(), State::NotAFile);
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    EXPECT_EQ(SettingsEditor::load(file.string()).state(), State::NotAFile);
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_EQ(SettingsEditor::load(file.string()).state(), State::NotAFile);
    fs::remove(file);

    SettingsEditor fresh = SettingsEditor::load(file.string());
    fresh.set("b", sys::Value::integer(2));
    fs::create_symlink(folder.path() / "elsewhere.plist", file);
    EXPECT_FALSE(fresh.save());
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(bytesOf(folder.path() / "elsewhere.plist"), "<plist><dict/></plist>");
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
        EXPECT_EQ(bytesOf(*copy), bytes);
        EXPECT_TRUE(fs::path(*copy).filename().string().starts_with("settings.plist.broken-")) << *copy;
        copies.push_back(*copy);
        settings.set("a", sys::Value::boolean(true));
        ASSERT_TRUE(settings.save());
        EXPECT_EQ(SettingsEditor::load(file.string()).values().size(), 1u);
    }
    EXPECT_NE(copies[0], copies[1]);
    EXPECT_EQ(bytesOf(copies[0]), "first garbage");

    SettingsEditor readable = SettingsEditor::load(file.string());
    EXPECT_FALSE(readable.setAside());
}

// A lock another open file holds is waited for no longer than asked, and the failure names the
// lock file; once it is free the lock is taken. The lock file is not followed through a link.
TEST(SettingsLock, GivesUpAfterTheLongestWait)
{
    TemporaryFolder phone;
    sys::setPhoneRoot(phone.path());
    std::string path = SettingsLock::lockFilePath();
    {
        SettingsLock first;
        ASSERT_TRUE(first.held()) << first.failure();
        SettingsLock second(std::chrono::milliseconds(50));
        EXPECT_FALSE(second.held());
        EXPECT_NE(second.failure().find(path), std::string::npos) << second.failure();
    }
    EXPECT_TRUE(SettingsLock(std::chrono::milliseconds(0)).held());

    fs::remove(path);
    fs::create_symlink(phone.path() / "target", path);
    SettingsLock linked(std::chrono::milliseconds(0));
    EXPECT_FALSE(linked.held());
    EXPECT_FALSE(fs::exists(phone.path() / "target"));
    sys::setPhoneRoot("/");
}

// Texts with control characters, quotes and backslashes print on one line and read back as the
// same text; keys that would not stand alone before a value are quoted the same way.
TEST(SettingValue, EscapedTextsStayOnOneLineAndReadBack)
{
    for (std::string text : { std::string("two\nlines"), std::string("tab\there"), std::string("cr\r"), std::string("\x01\x7f"),
             std::string("say \"hi\" \\ bye"), std::string("\\x41 stays"), std::string("") }) {
        std::string line = settingValueText(*sys::Value::string(text));
        EXPECT_EQ(line.find_first_of("\n\r"), std::string::npos) << line;
        EXPECT_EQ(*settingValueFromText(line), *sys::Value::string(text)) << line;
    }
    EXPECT_EQ(settingKeyText("plain"), "plain");
    EXPECT_EQ(settingKeyText("two words"), "\"two words\"");
    EXPECT_EQ(settingKeyText("line\nbreak"), "\"line\\nbreak\"");
    EXPECT_EQ(settingKeyText(""), "\"\"");
}

}
}
