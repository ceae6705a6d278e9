#include "sys/darwin_notify_center.h"
#include "sys/run_loop.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sys;

namespace {

constexpr const char* kChanged = "de.quillfen.kavrin-preferencesChanged";

struct Delivery {
    DarwinNotifyCenter* center;
    void* observer;
    std::string name;
    const void* object;
    const Dictionary* userInfo;
};
std::vector<Delivery> g_deliveries;
std::function<void()> g_duringDelivery;

void record(DarwinNotifyCenter* center, void* observer, const std::string& name, const void* object, const Dictionary* userInfo)
{
    g_deliveries.push_back(Delivery { center, observer, name, object, userInfo });
    if (g_duringDelivery)
        g_duringDelivery();
}

void recordAgain(DarwinNotifyCenter* center, void* observer, const std::string& name, const void* object, const Dictionary* userInfo)
{
    record(center, observer, name + " (again)", object, userInfo);
}

class DarwinNotifyCenterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunLoop::main().reset();
        center().reset();
        g_deliveries.clear();
        g_duringDelivery = nullptr;
    }
    void TearDown() override
    {
        center().reset();
        g_duringDelivery = nullptr;
    }
    DarwinNotifyCenter& center() { return *CFNotificationCenterGetDarwinNotifyCenter(); }
    void observe(const char* name, CFNotificationCallback callback = record)
    {
        CFNotificationCenterAddObserver(&center(), nullptr, callback, name, nullptr, CFNotificationSuspensionBehavior::Coalesce);
    }
    std::vector<std::string> deliveredNames() const
    {
        std::vector<std::string> names;
        for (const Delivery& delivery : g_deliveries)
            names.push_back(delivery.name);
        return names;
    }
};

}

// Posts wait for the run loop; a burst of one name arrives once, with the centre and nils.
TEST_F(DarwinNotifyCenterTest, PostsAreQueuedAndCoalesced)
{
    observe(kChanged);
    observe(kChanged); // the same registration again changes nothing
    observe(kChanged, recordAgain);
    observe("other");

    for (int i = 0; i < 3; ++i)
        CFNotificationCenterPostNotification(&center(), kChanged, nullptr, nullptr, true);
    EXPECT_TRUE(g_deliveries.empty());
    EXPECT_TRUE(center().hasPending());

    RunLoop::main().runDueTasks();
    ASSERT_EQ(deliveredNames(), (std::vector<std::string> { kChanged, std::string(kChanged) + " (again)" }));
    EXPECT_EQ(g_deliveries[0].center, &center());
    EXPECT_EQ(g_deliveries[0].observer, nullptr);
    EXPECT_EQ(g_deliveries[0].object, nullptr);
    EXPECT_EQ(g_deliveries[0].userInfo, nullptr);

    RunLoop::main().advance(1.0);
    EXPECT_EQ(g_deliveries.size(), 2u);
    center().postNotification(kChanged);
    RunLoop::main().advance(1.0);
    EXPECT_EQ(g_deliveries.size(), 4u);
}

// A post made by a callback, or by a delayed task, is delivered by the loop's next pass.
TEST_F(DarwinNotifyCenterTest, PostsFromCallbacksAndTasks)
{
    observe("ping");
    observe("pong");
    g_duringDelivery = [this] {
        if (g_deliveries.back().name == "ping")
            center().postNotification("pong");
    };
    RunLoop::main().performAfterDelay(2.0, {}, [this] { center().postNotification("ping"); });
    RunLoop::main().advance(1.0);
    EXPECT_TRUE(g_deliveries.empty());
    RunLoop::main().advance(1.0);
    EXPECT_EQ(deliveredNames(), (std::vector<std::string> { "ping" }));
    RunLoop::main().runDueTasks();
    EXPECT_EQ(deliveredNames(), (std::vector<std::string> { "ping", "pong" }));
}

// A callback that resets the centre ends the delivery: nothing reaches dropped observers.
TEST_F(DarwinNotifyCenterTest, ResetDuringDeliveryStopsIt)
{
    observe(kChanged);
    observe(kChanged, recordAgain);
    g_duringDelivery = [this] { center().reset(); };
    center().postNotification(kChanged);
    RunLoop::main().runDueTasks();
    EXPECT_EQ(g_deliveries.size(), 1u);
}

// Notification names travel as file names and back; hidden files carry none.
TEST_F(DarwinNotifyCenterTest, TransportFileNames)
{
    for (const char* name : { kChanged, "a/b c", ".hidden", "100%", "ü" }) {
        std::optional<std::string> fileName = transportFileName(name);
        ASSERT_TRUE(fileName) << name;
        EXPECT_EQ(fileName->find('/'), std::string::npos);
        EXPECT_NE(fileName->front(), '.');
        EXPECT_EQ(notificationNameOfTransportFile(*fileName), name);
    }
    EXPECT_EQ(transportFileName(kChanged), kChanged);
    EXPECT_FALSE(transportFileName(""));
    EXPECT_FALSE(transportFileName(std::string(300, 'x')));
    EXPECT_FALSE(notificationNameOfTransportFile(".settings.plist.Ab12Cd"));
    EXPECT_FALSE(notificationNameOfTransportFile("bad%zz"));
}

// With the transport, a post touches its file and still arrives here exactly once.
TEST_F(DarwinNotifyCenterTest, TransportKeepsLocalPostsSingle)
{
    testing_support::TemporaryFolder folder;
    const auto transport = folder.path() / "notifications";
    ASSERT_TRUE(center().setTransportDirectory(transport));
    EXPECT_GE(center().transportFileDescriptor(), 0);
    observe(kChanged);

    center().postNotification(kChanged);
    center().postNotification(kChanged);
    EXPECT_TRUE(std::filesystem::exists(transport / kChanged));
    RunLoop::main().advance(0.1);
    EXPECT_EQ(g_deliveries.size(), 1u);
    RunLoop::main().advance(0.1);
    EXPECT_EQ(g_deliveries.size(), 1u);

    // A writer's hidden temporary file in the folder is no notification.
    folder.write("notifications/.scratch", "x");
    RunLoop::main().advance(0.1);
    EXPECT_EQ(g_deliveries.size(), 1u);

    center().reset();
    EXPECT_EQ(center().transportFileDescriptor(), -1);
    EXPECT_FALSE(center().setTransportDirectory(folder.write("a-file", "x")));
}

// A burst of posts in another process reaches this one as one delivery through its run loop.
TEST_F(DarwinNotifyCenterTest, PostsCrossProcesses)
{
    testing_support::TemporaryFolder folder;
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
    EXPECT_EQ(deliveredNames(), std::vector<std::string> { kChanged });

    // A tool that only touches the file is heard just the same.
    int fd = ::open((folder.path() / "unrelated").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    RunLoop::main().advance(1.0);
    EXPECT_EQ(deliveredNames(), (std::vector<std::string> { kChanged, "unrelated" }));
}
