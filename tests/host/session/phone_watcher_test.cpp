#include "session/phone_watcher.h"

#include "support/host_harness.h"
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/run_loop.h>

#include <gtest/gtest.h>

#include <fstream>

namespace kavrin::testing {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// What the watcher reports of the changes made so far: inotify queues an event before the call
// that caused it returns, so whatever is to be reported is there to read at once.
int reportsOf(int& changes)
{
    changes = 0;
    sys::RunLoop::main().waitForInput(0.05);
    return changes;
}

// The files the widget reads are watched through their folders: a favorites list replaced as
// editors and our tools replace it, the databases' side files, a watched file that is created,
// written and removed later; the plug-in's executable only once written whole. A burst of
// changes is one report; other files in the same folders are not reports, and a watcher that is
// gone reports nothing.
TEST(PhoneWatcherTest, ReportsChangesToTheFilesTheWidgetReads)
{
    PhoneRoot phone;
    sys::setPhoneRoot(phone.path());
    const fs::path favorites = sys::resolvePhonePath(sys::kFavoritesPath);
    const fs::path addressBook = sys::resolvePhonePath(sys::kAddressBookPath);
    fs::create_directories(favorites.parent_path());
    fs::create_directories(addressBook.parent_path());
    const fs::path executable = phone.path() / "build" / "Kavrin";
    fs::create_directories(executable.parent_path());

    int changes = 0;
    auto watcher = std::make_unique<host::PhoneWatcher>([&changes] { ++changes; }, std::vector<fs::path> { executable });
    ASSERT_TRUE(watcher->watching());

    EXPECT_EQ(reportsOf(changes), 0);
    writeFile(favorites.string() + ".new", "<plist/>");
    fs::rename(favorites.string() + ".new", favorites);
    EXPECT_EQ(reportsOf(changes), 1) << "the list replaced by a rename";
    writeFile(favorites, "<plist></plist>");
    writeFile(favorites, "<plist> </plist>");
    EXPECT_EQ(reportsOf(changes), 1) << "two writes in a row";
    writeFile(addressBook.string() + "-wal", "log");
    EXPECT_EQ(reportsOf(changes), 1) << "the address book's log";
    writeFile(favorites.parent_path() / "com.apple.other.plist", "<plist/>");
    writeFile(addressBook.parent_path() / "AddressBookImages.sqlitedb.old", "");
    writeFile(executable.string() + "2", "");
    EXPECT_EQ(reportsOf(changes), 0) << "other files beside them";
    writeFile(executable, "code");
    EXPECT_EQ(reportsOf(changes), 1) << "the plug-in's executable created";
    // The executable counts once whole: not when it goes, nor while it is written in pieces.
    fs::remove(executable);
    EXPECT_EQ(reportsOf(changes), 0) << "the plug-in's executable removed";
    {
        std::ofstream pieces(executable, std::ios::binary);
        pieces << "half";
        pieces.flush();
        EXPECT_EQ(reportsOf(changes), 0) << "the plug-in's executable half-written";
    }
    EXPECT_EQ(reportsOf(changes), 1) << "the plug-in's executable closed";

    watcher.reset();
    writeFile(favorites, "<plist/>");
    EXPECT_EQ(reportsOf(changes), 0) << "after the watcher is gone";
}

}
}
