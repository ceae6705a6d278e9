#include "support/temporary_folder.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/run_loop.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sys;

namespace {

constexpr const char* kChanged = "de.quillfen.kavrin-preferencesChanged";

std::vector<std::string> g_delivered;

void record(DarwinNotifyCenter* center, void* observer, const std::string& name, const void* object, const Dictionary* userInfo)
{
    EXPECT_EQ(center, &DarwinNotifyCenter::shared());
    EXPECT_EQ(observer, nullptr);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(userInfo, nullptr);
    g_delivered.push_back(name);
}

void recordAgain(DarwinNotifyCenter* center, void* observer, const std::string& name, const void* object, const Dictionary* userInfo)
{
    record(center, observer, name + " again", object, userInfo);
}

class DarwinNotifyCenterTest : public ::testing::Test {
protected:
    void SetUp() override { g_delivered.clear(); }

    DarwinNotifyCenter& center() { return *CFNotificationCenterGetDarwinNotifyCenter(); }
    void observe(const char* name, CFNotificationCallback callback = record)
    {
        CFNotificationCenterAddObserver(&center(), nullptr, callback, name, nullptr, CFNotificationSuspensionBehavior::Coalesce);
    }
};

}

// Posts wait for the run loop, and a burst of one name arrives once per registration.
TEST_F(DarwinNotifyCenterTest, PostsAreQueuedAndCoalesced)
{
    observe(kChanged);
    observe(kChanged); // the same registration again changes nothing
    observe(kChanged, recordAgain);
    observe("other");

    for (int i = 0; i < 3; ++i)
        CFNotificationCenterPostNotification(&center(), kChanged, nullptr, nullptr, true);
    EXPECT_TRUE(g_delivered.empty());

    RunLoop::main().runDueTasks();
    EXPECT_EQ(g_delivered, (std::vector<std::string> { kChanged, std::string(kChanged) + " again" }));
    RunLoop::main().advance(1.0);
    EXPECT_EQ(g_delivered.size(), 2u);

    // Posted by a delayed task: delivered right after it, within the same advance.
    RunLoop::main().performAfterDelay(1.0, {}, [this] { center().postNotification(kChanged); });
    RunLoop::main().advance(2.0);
    EXPECT_EQ(g_delivered.size(), 4u);
}

// Names travel as file names and back; hidden files, which writers use as temporaries, carry none.
TEST_F(DarwinNotifyCenterTest, TransportFileNames)
{
    for (const char* name : { kChanged, "a/b c", ".hidden", "100%", "ü" }) {
        std::optional<std::string> fileName = transportFileName(name);
        ASSERT_TRUE(fileName) << name;
        EXPECT_TRUE(fileName->find('/') == std::string::npos && fileName->front() != '.') << *fileName;
        EXPECT_EQ(notificationNameOfTransportFile(*fileName), name);
    }
    EXPECT_EQ(transportFileName(kChanged), kChanged);
    EXPECT_FALSE(transportFileName(""));
    EXPECT_FALSE(transportFileName(std::string(300, 'x')));
    EXPECT_FALSE(notificationNameOfTransportFile(".settings.plist.Ab12Cd"));
    EXPECT_FALSE(notificationNameOfTransportFile("bad%zz"));
}

// With the transport on, a post touches its file and still arrives here exactly once.
TEST_F(DarwinNotifyCenterTest, TransportKeepsLocalPostsSingle)
{
    kavrin::testing::TemporaryFolder folder;
    const auto transport = folder.path() / "notifications";
    ASSERT_TRUE(center().setTransportDirectory(transport));
    observe(kChanged);

    center().postNotification(kChanged);
    center().postNotification(kChanged);
    EXPECT_TRUE(std::filesystem::exists(transport / kChanged));
    RunLoop::main().advance(0.1);
    folder.write("notifications/.scratch", "x");
    RunLoop::main().advance(0.1);
    EXPECT_EQ(g_delivered.size(), 1u);

    center().reset();
    EXPECT_EQ(center().transportFileDescriptor(), -1);
    EXPECT_FALSE(center().setTransportDirectory(folder.write("a-file", "x")));
}

// A burst of posts in another process reaches this one as one delivery through its run loop.
TEST_F(DarwinNotifyCenterTest, PostsCrossProcesses)
{
    kavrin::testing::TemporaryFolder folder;
    ASSERT_TRUE(center().setTransportDirectory(folder.path()));
    observe(kChanged);
    observe("unrelated");

    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (int i = 0; i < 3; ++i)
            DarwinNotifyCenter::shared().postNotification(kChanged);
        ::_exit(0);
    }
    // Wake on the transport (bounded), let the child finish its burst, then run the loop.
    EXPECT_TRUE(RunLoop::main().waitForInput(30.0));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    RunLoop::main().runDueTasks();
    EXPECT_EQ(g_delivered, std::vector<std::string> { kChanged });

    // A writer that only touches the file is heard just the same.
    ASSERT_TRUE(weeapp::FileDescriptor(::open((folder.path() / "unrelated").c_str(), O_WRONLY | O_CREAT, 0644)));
    RunLoop::main().advance(1.0);
    EXPECT_EQ(g_delivered, (std::vector<std::string> { kChanged, "unrelated" }));
}
