#include "phone_root_check.h"
#include "settings_change.h"
#include "settings_lock.h"
#include "support/small_file_limit.h"
#include "support/temporary_folder.h"
#include <weeapp/sys/files/phone_root.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kavrin::phone_files {
namespace {

namespace fs = std::filesystem;
using kavrin::testing::fileBytes;
using kavrin::testing::SmallFileLimit;
using kavrin::testing::TemporaryFolder;
using Outcome = SettingsChange::Outcome;

constexpr const char* kOneKey =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
    "\t<key>metroStyle</key>\n\t<true/>\n</dict>\n</plist>\n";

// Whether the file holds metroStyle on and nothing else.
bool holdsMetroStyleAlone(const fs::path& file)
{
    const SettingsEditor settings = SettingsEditor::load(file.string());
    const weeapp::sys::ValuePtr value = settings.value("metroStyle");
    return settings.state() == SettingsEditor::State::Readable && settings.values().size() == 1 && value
        && *value == *weeapp::sys::Value::boolean(true);
}

// A phone root in a fresh folder, made the current one for the test's length.
class Phone {
public:
    explicit Phone(bool withUserFolder = true)
    {
        if (withUserFolder)
            fs::create_directories(root() / fs::path(kPhoneUserFolder).relative_path());
        weeapp::sys::setPhoneRoot(root());
    }
    ~Phone() { weeapp::sys::setPhoneRoot("/"); }

    const fs::path& root() const { return m_folder.path(); }
    fs::path settings() const { return settingsFilePath(); }
    void write(std::string_view bytes) const
    {
        fs::create_directories(settings().parent_path());
        m_folder.write(fs::relative(settings(), root()), bytes);
    }
    // Every entry under the root, to show that nothing was made or removed.
    std::vector<fs::path> entries() const
    {
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(root()))
            found.push_back(entry.path());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    TemporaryFolder m_folder;
};

SettingsRules rules() { return {}; }

// A set writes the file and says what it held before and holds now; each edit is made in the
// order given; a removal changes the file only when the key is there; the format asked for is the
// one written.
TEST(SettingsChange, WritesAndTellsTheBytesBeforeAndAfter)
{
    Phone phone;
    SettingsChange first = setSetting("metroStyle", weeapp::sys::Value::boolean(true), rules());
    ASSERT_EQ(first.outcome, Outcome::Written) << first.message;
    EXPECT_EQ(first.before, std::nullopt);
    EXPECT_EQ(first.after, fileBytes(phone.settings()));
    EXPECT_TRUE(holdsMetroStyleAlone(phone.settings()));
    EXPECT_TRUE(first.message.empty());
    EXPECT_TRUE(first.note().empty());

    SettingsChange second = editSettings({ { "fiveIcons", weeapp::sys::Value::boolean(false) }, { "metroStyle", nullptr } }, rules());
    ASSERT_EQ(second.outcome, Outcome::Written) << second.message;
    EXPECT_EQ(second.before, first.after);
    EXPECT_EQ(second.after, fileBytes(phone.settings()));
    SettingsEditor now = SettingsEditor::load(phone.settings());
    EXPECT_EQ(now.value("metroStyle"), nullptr);
    ASSERT_NE(now.value("fiveIcons"), nullptr);
    EXPECT_EQ(*now.value("fiveIcons"), *weeapp::sys::Value::boolean(false));

    // The same key removed and then set is there; set and then removed is not.
    ASSERT_EQ(editSettings({ { "fiveIcons", nullptr }, { "fiveIcons", weeapp::sys::Value::boolean(true) } }, rules()).outcome, Outcome::Written);
    EXPECT_EQ(*SettingsEditor::load(phone.settings()).value("fiveIcons"), *weeapp::sys::Value::boolean(true));
    ASSERT_EQ(editSettings({ { "fiveIcons", weeapp::sys::Value::boolean(false) }, { "fiveIcons", nullptr } }, rules()).outcome, Outcome::Written);
    EXPECT_EQ(SettingsEditor::load(phone.settings()).value("fiveIcons"), nullptr);

    // A removal of a present key among absent ones is written.
    phone.write(kOneKey);
    SettingsChange removed = editSettings({ { "absent", nullptr }, { "metroStyle", nullptr } }, rules());
    ASSERT_EQ(removed.outcome, Outcome::Written) << removed.message;
    EXPECT_EQ(removed.before, kOneKey);
    EXPECT_TRUE(SettingsEditor::load(phone.settings()).values().empty());

    SettingsRules binary;
    binary.format = weeapp::sys::PropertyListFormat::Binary;
    SettingsChange converted = setSetting("metroStyle", weeapp::sys::Value::boolean(true), binary);
    ASSERT_EQ(converted.outcome, Outcome::Written) << converted.message;
    EXPECT_TRUE(fileBytes(phone.settings()).starts_with("bplist00"));
    EXPECT_EQ(converted.after, fileBytes(phone.settings()));
}

// Removing keys that are not there changes nothing and makes nothing: no settings file, no lock
// file, no folder, whether or not there is a file; the file keeps its bytes and its time.
TEST(SettingsChange, RemovingAnAbsentKeyTouchesNothing)
{
    Phone phone;
    const std::vector<fs::path> bare = phone.entries();
    SettingsChange nothing = unsetSetting("metroStyle", rules());
    EXPECT_EQ(nothing.outcome, Outcome::Unchanged);
    EXPECT_FALSE(nothing.before);
    EXPECT_EQ(phone.entries(), bare);

    phone.write(kOneKey);
    const fs::file_time_type written = fs::last_write_time(phone.settings());
    const std::vector<fs::path> withFile = phone.entries();
    SettingsChange absent = editSettings({ { "fiveIcons", nullptr }, { "tilesAlign", nullptr } }, rules());
    EXPECT_EQ(absent.outcome, Outcome::Unchanged);
    EXPECT_EQ(phone.entries(), withFile);
    EXPECT_EQ(fileBytes(phone.settings()), kOneKey);
    EXPECT_EQ(fs::last_write_time(phone.settings()), written);

    // An unreadable file cannot tell whether the key is there: the removal goes on to the change,
    // which refuses it and keeps the bytes. A change that alters nothing writes nothing.
    phone.write("garbage");
    SettingsChange unreadable = unsetSetting("metroStyle", rules());
    EXPECT_EQ(unreadable.outcome, Outcome::Refused);
    EXPECT_EQ(fileBytes(phone.settings()), "garbage");
    SettingsChange unchanged = changeSettingsFile([](SettingsEditor&) { return false; }, false);
    EXPECT_EQ(unchanged.outcome, Outcome::Refused);
    fs::remove(phone.settings());
    EXPECT_EQ(changeSettingsFile([](SettingsEditor&) { return false; }, false).outcome, Outcome::Unchanged);
    EXPECT_FALSE(fs::exists(phone.settings()));
}

// Each refusal leaves the file as it was and says why: a root that does not look like a phone's
// (unless asked to create it), a lock that cannot be taken, a file that is no dictionary (which
// --force replaces, keeping its bytes), something that is no file (which even --force leaves), and
// a value that would not come back as it was.
TEST(SettingsChange, EachRefusalLeavesTheFileAsItWas)
{
    {
        Phone notAPhone(false);
        SettingsChange refused = setSetting("metroStyle", weeapp::sys::Value::boolean(true), rules());
        EXPECT_EQ(refused.outcome, Outcome::Refused);
        EXPECT_NE(refused.message.find(notAPhone.root().string() + " does not look like a phone root"), std::string::npos) << refused.message;
        EXPECT_NE(refused.message.find("--create"), std::string::npos) << refused.message;
        EXPECT_TRUE(notAPhone.entries().empty());
        EXPECT_EQ(unsetSetting("metroStyle", rules()).outcome, Outcome::Refused);
        EXPECT_EQ(putBackSettings(kOneKey, std::nullopt, rules()).outcome, Outcome::Refused);
        EXPECT_TRUE(notAPhone.entries().empty());

        SettingsRules create;
        create.createRoot = true;
        EXPECT_EQ(setSetting("metroStyle", weeapp::sys::Value::boolean(true), create).outcome, Outcome::Written);
        EXPECT_TRUE(holdsMetroStyleAlone(notAPhone.settings()));
    }

    Phone phone;
    // A lock that cannot be opened (a link in its place, which it does not follow) refuses at once.
    fs::create_directories(fs::path(SettingsLock::lockFilePath()).parent_path());
    fs::create_symlink(phone.root() / "elsewhere", SettingsLock::lockFilePath());
    SettingsChange locked = setSetting("metroStyle", weeapp::sys::Value::boolean(true), rules());
    EXPECT_EQ(locked.outcome, Outcome::Refused);
    EXPECT_NE(locked.message.find(SettingsLock::lockFilePath()), std::string::npos) << locked.message;
    EXPECT_NE(locked.message.find("the settings are left as they are"), std::string::npos) << locked.message;
    EXPECT_FALSE(fs::exists(phone.settings()));
    EXPECT_EQ(putBackSettings(kOneKey, std::nullopt, rules()).outcome, Outcome::Refused);
    fs::remove(SettingsLock::lockFilePath());

    phone.write("garbage");
    SettingsChange unreadable = setSetting("metroStyle", weeapp::sys::Value::boolean(true), rules());
    EXPECT_EQ(unreadable.outcome, Outcome::Refused);
    EXPECT_NE(unreadable.message.find("--force replaces it"), std::string::npos) << unreadable.message;
    EXPECT_EQ(fileBytes(phone.settings()), "garbage");

    SettingsRules force;
    force.replaceUnreadable = true;
    SettingsChange forced = setSetting("metroStyle", weeapp::sys::Value::boolean(true), force);
    ASSERT_EQ(forced.outcome, Outcome::Written) << forced.message;
    EXPECT_TRUE(holdsMetroStyleAlone(phone.settings()));
    EXPECT_EQ(fileBytes(forced.keptCopy), "garbage");
    EXPECT_EQ(forced.note(), "kept the unreadable settings file's bytes in " + forced.keptCopy);
    // Replacing an unreadable file is a change even when the edit itself changes nothing.
    phone.write("garbage again");
    SettingsChange replaced = changeSettingsFile([](SettingsEditor&) { return false; }, true);
    EXPECT_EQ(replaced.outcome, Outcome::Written);
    EXPECT_EQ(fileBytes(replaced.keptCopy), "garbage again");
    EXPECT_TRUE(SettingsEditor::load(phone.settings()).editable());

    fs::remove(phone.settings());
    fs::create_directory(phone.settings());
    SettingsChange folder = setSetting("metroStyle", weeapp::sys::Value::boolean(true), force);
    EXPECT_EQ(folder.outcome, Outcome::Refused);
    EXPECT_EQ(folder.message.find("--force"), std::string::npos) << folder.message;
    EXPECT_TRUE(folder.keptCopy.empty());
    EXPECT_TRUE(fs::is_directory(phone.settings()));
    fs::remove(phone.settings());

    // A date before the first year the file's format can carry would be written as another one.
    const std::string yearOne = "<plist version=\"1.0\"><dict><key>yearOne</key><date>0001-01-01T00:00:00Z</date></dict></plist>";
    phone.write(yearOne);
    SettingsChange carried = setSetting("metroStyle", weeapp::sys::Value::boolean(true), rules());
    EXPECT_EQ(carried.outcome, Outcome::Refused);
    EXPECT_NE(carried.message.find("cannot be written back"), std::string::npos) << carried.message;
    EXPECT_EQ(fileBytes(phone.settings()), yearOne);
}

// When --force cannot keep the unreadable file's bytes, or the new settings cannot be written,
// nothing is replaced; a copy that was kept is named, so its bytes can be found.
TEST(SettingsChange, ForceReplacesOnlyWhatItCouldKeep)
{
    Phone phone;
    SettingsRules force;
    force.replaceUnreadable = true;
    phone.write("garbage");
    {
        SmallFileLimit limit;
        SettingsChange uncopied = setSetting("metroStyle", weeapp::sys::Value::boolean(true), force);
        EXPECT_EQ(uncopied.outcome, Outcome::Refused);
        EXPECT_NE(uncopied.message.find("since no copy of it could be kept"), std::string::npos) << uncopied.message;
        EXPECT_TRUE(uncopied.keptCopy.empty());
    }
    EXPECT_EQ(fileBytes(phone.settings()), "garbage");
    for (const fs::path& entry : phone.entries())
        EXPECT_EQ(entry.filename().string().find(".broken-"), std::string::npos) << entry;

    // A date the XML format cannot carry refuses the replacement after the copy was kept.
    SettingsChange uncarried = changeSettingsFile(
        [](SettingsEditor& settings) {
            settings.set("yearOne", weeapp::sys::Value::date(-63113904000.0));
            return true;
        },
        true);
    EXPECT_EQ(uncarried.outcome, Outcome::Refused);
    EXPECT_NE(uncarried.message.find("cannot be written back"), std::string::npos) << uncarried.message;
    EXPECT_EQ(fileBytes(uncarried.keptCopy), "garbage");
    EXPECT_EQ(fileBytes(phone.settings()), "garbage");
}

// A file that cannot be written fails the change and says so: here the settings' folder is a
// file, which is left as it was.
TEST(SettingsChange, AFileThatCannotBeWrittenFails)
{
    Phone phone;
    fs::create_directories(phone.settings().parent_path().parent_path());
    std::ofstream(phone.settings().parent_path()) << "in the folder's place";
    SettingsChange failed = setSetting("metroStyle", weeapp::sys::Value::boolean(true), rules());
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_NE(failed.message.find(phone.settings().string()), std::string::npos) << failed.message;
    EXPECT_FALSE(failed.before);
    EXPECT_TRUE(failed.after.empty());
    EXPECT_EQ(fileBytes(phone.settings().parent_path()), "in the folder's place");

    // Bytes that cannot be put back fail too, and leave what the change wrote.
    fs::remove(phone.settings().parent_path());
    phone.write(kOneKey);
    SettingsChange made = setSetting("fiveIcons", weeapp::sys::Value::boolean(true), rules());
    ASSERT_EQ(made.outcome, Outcome::Written);
    {
        SmallFileLimit limit;
        SettingsChange notPutBack = putBackSettings(made.after, made.before, rules());
        EXPECT_EQ(notPutBack.outcome, Outcome::Failed);
        EXPECT_NE(notPutBack.message.find(phone.settings().string()), std::string::npos) << notPutBack.message;
    }
    EXPECT_EQ(fileBytes(phone.settings()), made.after);
}

// Each writer under the lock, putting back too, first removes what a write stopped part-way left
// beside the file.
TEST(SettingsChange, EveryWriterClearsWhatAStoppedWriteLeft)
{
    Phone phone;
    SettingsChange made = setSetting("metroStyle", weeapp::sys::Value::boolean(true), rules());
    ASSERT_EQ(made.outcome, Outcome::Written);
    const fs::path leftover = phone.settings().parent_path() / ("." + phone.settings().filename().string() + ".Ab12Cd");
    std::ofstream(leftover) << "half a file";
    ASSERT_EQ(putBackSettings(made.after, made.before, rules()).outcome, Outcome::Written);
    EXPECT_FALSE(fs::exists(leftover));

    std::ofstream(leftover) << "half a file";
    ASSERT_EQ(setSetting("metroStyle", weeapp::sys::Value::boolean(true), rules()).outcome, Outcome::Written);
    EXPECT_FALSE(fs::exists(leftover));
}

// Putting back restores the bytes the file had, or removes the file that had none, only while
// the file still holds what the change wrote.
TEST(SettingsChange, PutBackRestoresOnlyAnUnchangedFile)
{
    Phone phone;
    SettingsChange made = setSetting("metroStyle", weeapp::sys::Value::boolean(true), rules());
    ASSERT_EQ(made.outcome, Outcome::Written);
    SettingsChange undone = putBackSettings(made.after, made.before, rules());
    ASSERT_EQ(undone.outcome, Outcome::Written) << undone.message;
    EXPECT_FALSE(fs::exists(phone.settings()));
    EXPECT_EQ(undone.before, made.after);
    EXPECT_EQ(undone.after, "");

    phone.write(kOneKey);
    SettingsChange changed = setSetting("fiveIcons", weeapp::sys::Value::boolean(true), rules());
    ASSERT_EQ(changed.outcome, Outcome::Written);
    SettingsChange restored = putBackSettings(changed.after, changed.before, rules());
    ASSERT_EQ(restored.outcome, Outcome::Written) << restored.message;
    EXPECT_EQ(fileBytes(phone.settings()), kOneKey);
    EXPECT_EQ(restored.after, kOneKey);

    // Someone else's change since, or a file gone, is left alone.
    SettingsChange mine = setSetting("fiveIcons", weeapp::sys::Value::boolean(true), rules());
    ASSERT_EQ(setSetting("tilesAlign", weeapp::sys::Value::integer(1), rules()).outcome, Outcome::Written);
    const std::string theirs = fileBytes(phone.settings());
    SettingsChange refused = putBackSettings(mine.after, mine.before, rules());
    EXPECT_EQ(refused.outcome, Outcome::Refused);
    EXPECT_NE(refused.message.find(phone.settings().string() + " has changed since"), std::string::npos) << refused.message;
    EXPECT_EQ(fileBytes(phone.settings()), theirs);
    fs::remove(phone.settings());
    EXPECT_EQ(putBackSettings("", std::nullopt, rules()).outcome, Outcome::Refused);
    EXPECT_FALSE(fs::exists(phone.settings()));
    phone.write("garbage");
    EXPECT_EQ(putBackSettings("garbage", kOneKey, rules()).outcome, Outcome::Refused);
    EXPECT_EQ(fileBytes(phone.settings()), "garbage");
}

}
}
