// Files changed under the widget by another process, as many times as KAVRIN_SOAK_COUNT says
// (a few hundred by default, 10,000 in scripts/soak): no crash and no hang, and what the widget
// reads is always one whole version of what was written.
#include "widget/support/phone_fixture.h"

#include "kavrin/published_names.h"
#include "support/pipe_ends.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/phone_paths.h>

#include <fcntl.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace kavrin::testing {
namespace {

using SoakTest = PhoneFixture;

int soakCount()
{
    const char* count = std::getenv("KAVRIN_SOAK_COUNT");
    return count && std::atoi(count) > 0 ? std::atoi(count) : 300;
}

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

// Runs write(i) for i in [0, count) in a child process, and read() in this one until the child
// has ended; returns how many reads were made.
int whileAnotherProcessWrites(int count, const std::function<void(int)>& write, const std::function<void()>& read)
{
    PipeEnds done = makePipe();
    if (!done.read)
        return 0;
    const pid_t child = ::fork();
    if (child == 0) {
        done.read.reset();
        for (int i = 0; i < count; ++i)
            write(i);
        ::_exit(0);
    }
    done.write.reset();
    int reads = 0;
    pollfd ended { done.read.get(), POLLIN, 0 };
    while (::poll(&ended, 1, 0) == 0) {
        read();
        ++reads;
    }
    read();
    done.read.reset();
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return reads + 1;
}

void writeWhole(const std::filesystem::path& path, const std::string& bytes, bool replace)
{
    const std::string target = replace ? path.string() + ".new" : path.string();
    weeapp::FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd)
        ::_exit(3);
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t now = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (now <= 0)
            ::_exit(3);
        written += static_cast<std::size_t>(now);
    }
    fd.reset();
    if (replace && ::rename(target.c_str(), path.c_str()) != 0)
        ::_exit(3);
}

// The settings file replaced whole, many times, between two versions that differ in every key:
// every lookup gives the value of one of them, and rebuilds on each change never fail. Rewritten
// in place (truncated, then written) a lookup may see half a file, so only the absence of
// crashes and hangs is asked for there.
TEST_F(SoakTest, SettingsChangedUnderTheWidget)
{
    writeFavorites({ { "Anna", 1, "_$!<Mobile>!$_", "+49 170 1" }, { "Ben", 2, "_$!<Home>!$_", "+49 170 2" } });
    const std::filesystem::path settings = realPath(kSettingsPath);
    std::string versions[2];
    writeSettings({ { "showBg", sys::Value::boolean(true) }, { "showLabels", sys::Value::boolean(true) },
        { "metroStyle", sys::Value::boolean(false) }, { "standardAction", sys::Value::integer(1) } });
    versions[0] = fileBytes(settings);
    writeSettings({ { "showBg", sys::Value::boolean(false) }, { "showLabels", sys::Value::boolean(false) },
        { "metroStyle", sys::Value::boolean(true) }, { "standardAction", sys::Value::integer(2) } });
    versions[1] = fileBytes(settings);
    KavrinController& widget = showWidget();

    for (const bool replace : { true, false }) {
        SCOPED_TRACE(replace ? "replaced whole" : "rewritten in place");
        int mixed = 0;
        const int reads = whileAnotherProcessWrites(
            soakCount(), [&](int i) { writeWhole(settings, versions[i % 2], replace); },
            [&] {
                const bool showBg = widget.checkSetting("showBg");
                const bool metro = widget.checkSetting("metroStyle");
                const std::int32_t action = widget.getStandardAction();
                if (replace) {
                    EXPECT_TRUE(action == 1 || action == 2);
                    mixed += showBg == metro;
                }
                widget.preferencesChange2();
            });
        EXPECT_GT(reads, 0);
        RecordProperty(replace ? "replacedReads" : "inPlaceReads", reads);
        RecordProperty(replace ? "replacedMixes" : "inPlaceMixes", mixed);
    }
}

// An address changed many times by another process, in rollback-journal and write-ahead-log
// mode: every lookup gives the old or the new address. In write-ahead-log mode readers never wait
// for the writer, so no lookup is empty; in rollback mode a lookup that meets the writer's commit
// lock gives the fallback at once, as any locked database does, and those are only counted.
TEST_F(SoakTest, AddressChangedUnderTheWidget)
{
    const std::filesystem::path database = realPath(sys::kAddressBookPath);
    for (const bool wal : { false, true }) {
        SCOPED_TRACE(wal ? "write-ahead log" : "rollback journal");
        for (const char* suffix : { "", "-wal", "-shm", "-journal" })
            std::filesystem::remove(database.string() + suffix);
        writeAddressBook({ { 1, "old@example.org" } });
        if (wal) {
            weeapp::SqliteConnection setup;
            ASSERT_EQ(sqlite3_open(database.c_str(), setup.out()), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(setup.get(), "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        int empty = 0;
        whileAnotherProcessWrites(
            soakCount(),
            [&](int i) {
                static sqlite3* writer = nullptr;
                if (!writer && sqlite3_open(database.c_str(), &writer) != SQLITE_OK)
                    ::_exit(4);
                sqlite3_busy_timeout(writer, 5000);
                const char* sql = i % 2 ? "UPDATE ABMultiValue SET value='old@example.org'" : "UPDATE ABMultiValue SET value='new@example.org'";
                if (sqlite3_exec(writer, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
                    ::_exit(5);
            },
            [&] {
                const std::string address = controller->getMailFromDB(1);
                if (address.empty())
                    ++empty;
                else
                    EXPECT_TRUE(address == "old@example.org" || address == "new@example.org") << address;
            });
        if (wal) {
            EXPECT_EQ(empty, 0);
        }
        RecordProperty(wal ? "walEmpty" : "rollbackEmpty", empty);
    }
}

}
}
