#include "support/pipe_ends.h"
#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/run_loop.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

using namespace sys;

namespace {

class RunLoopTest : public ::testing::Test {
protected:
    RunLoop& loop() { return RunLoop::main(); }
};

struct Receiver : Object {
    std::vector<std::string>* log = nullptr;
    void fire() { log->push_back("receiver"); }
};

}

// Tasks run in deadline order (ties in scheduling order), each at its own deadline, including
// those scheduled meanwhile that fall within the stretch.
TEST_F(RunLoopTest, AdvanceRunsTasksInDeadlineOrder)
{
    std::vector<std::pair<std::string, double>> ran;
    auto record = [&](std::string name) {
        return [&ran, this, name] { ran.emplace_back(name, loop().now()); };
    };
    loop().performAfterDelay(2.5, {}, record("b"));
    loop().performAfterDelay(1.0, {}, record("a"));
    loop().performAfterDelay(2.5, {}, record("c"));
    loop().performAfterDelay(1.5, {}, [&] {
        ran.emplace_back("chain", loop().now());
        loop().performAfterDelay(0.5, {}, record("chained")); // due at 2.0, inside the stretch
        loop().performAfterDelay(5.0, {}, record("later"));   // due at 6.5, beyond it
    });

    loop().advance(3.0);
    const std::vector<std::pair<std::string, double>> expected {
        { "a", 1.0 },
        { "chain", 1.5 },
        { "chained", 2.0 },
        { "b", 2.5 },
        { "c", 2.5 },
    };
    EXPECT_EQ(ran, expected);
    EXPECT_DOUBLE_EQ(loop().now(), 3.0);
    EXPECT_EQ(loop().pendingCount(), 1u);
    EXPECT_DOUBLE_EQ(loop().nextDeadline(), 6.5);

    // Nothing moves without time; runUntil on the manual clock jumps to its deadline.
    loop().runDueTasks();
    EXPECT_EQ(ran.size(), 5u);
    loop().runUntil(10.0);
    EXPECT_EQ(ran.back(), std::make_pair(std::string("later"), 6.5));
    EXPECT_DOUBLE_EQ(loop().now(), 10.0);
    EXPECT_LT(loop().nextDeadline(), 0);
}

// A task whose receiver is gone is dropped, also when an earlier task destroyed it; a task
// without a receiver always runs; negative delays count as none.
TEST_F(RunLoopTest, ExpiredReceiversAreDropped)
{
    std::vector<std::string> log;
    auto kept = std::make_unique<Receiver>();
    auto doomed = std::make_unique<Receiver>();
    kept->log = doomed->log = &log;

    performSelectorWithObjectAfterDelay(kept.get(), &Receiver::fire, nullptr, 2.0);
    performSelectorWithObjectAfterDelay(doomed.get(), &Receiver::fire, nullptr, 2.0);
    loop().performAfterDelay(1.0, {}, [&] { doomed.reset(); });
    loop().performAfterDelay(-4.0, {}, [&] { log.push_back("unowned"); });
    EXPECT_EQ(loop().pendingCount(), 4u);

    loop().advance(0.5);
    EXPECT_EQ(log, std::vector<std::string> { "unowned" });
    EXPECT_DOUBLE_EQ(loop().nextDeadline(), 1.0);
    loop().advance(2.0);
    EXPECT_EQ(log, (std::vector<std::string> { "unowned", "receiver" }));
    EXPECT_EQ(loop().pendingCount(), 0u);
}

// A watched descriptor wakes a bounded wait and is read by every pass of the loop.
TEST_F(RunLoopTest, WatchedDescriptorsAreRead)
{
    const kavrin::testing::PipeEnds pipe = kavrin::testing::makePipe();
    ASSERT_TRUE(pipe.read);
    const int pipeEnds[2] = { pipe.read.get(), pipe.write.get() };
    std::string received;
    loop().watchFileDescriptor(pipeEnds[0], [&] {
        char buffer[16];
        ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got > 0)
            received.append(buffer, static_cast<std::size_t>(got));
    });

    EXPECT_FALSE(loop().waitForInput(0));
    ASSERT_EQ(::write(pipeEnds[1], "ab", 2), 2);
    EXPECT_TRUE(loop().waitForInput(10.0));
    EXPECT_EQ(received, "ab");

    ASSERT_EQ(::write(pipeEnds[1], "c", 1), 1);
    loop().advance(1.0);
    EXPECT_EQ(received, "abc");

    loop().unwatchFileDescriptor(pipeEnds[0]);
    ASSERT_EQ(::write(pipeEnds[1], "d", 1), 1);
    loop().runDueTasks();
    EXPECT_FALSE(loop().waitForInput(0));
    EXPECT_EQ(received, "abc");
}

namespace {

struct CountingSource final : RunLoopSource {
    std::vector<std::string>* log = nullptr;
    std::string name;
    std::function<void()> whilePerforming;
    void performPending() override
    {
        log->push_back(name);
        if (whilePerforming)
            whilePerforming();
    }
};

}

// Registered sources perform on every pass and after every task, in the order they were added;
// one removed while another performs is not called again, and a removed source never is.
TEST_F(RunLoopTest, SourcesPerformAfterEveryTask)
{
    std::vector<std::string> log;
    CountingSource first, second;
    first.log = second.log = &log;
    first.name = "first";
    second.name = "second";
    loop().addSource(first);
    loop().addSource(second);
    loop().addSource(first);
    loop().performAfterDelay(1.0, {}, [&] { log.push_back("task"); });

    loop().advance(2.0);
    EXPECT_EQ(log, (std::vector<std::string> { "first", "second", "task", "first", "second" }));

    log.clear();
    first.whilePerforming = [&] { loop().removeSource(second); };
    loop().runDueTasks();
    loop().runDueTasks();
    EXPECT_EQ(log, (std::vector<std::string> { "first", "first" }));

    log.clear();
    loop().removeSource(first);
    loop().advance(1.0);
    EXPECT_TRUE(log.empty());
}

// On the real clock, runUntil returns as soon as a task calls stop().
TEST_F(RunLoopTest, RealClockLoopStopsWhenAsked)
{
    loop().setClock(std::make_shared<SystemClock>());
    int runs = 0;
    loop().performAfterDelay(0, {}, [&] {
        ++runs;
        loop().stop();
    });
    loop().runUntil(loop().now() + 600);
    EXPECT_EQ(runs, 1);
}
