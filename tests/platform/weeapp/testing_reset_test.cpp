#include <weeapp/testing_reset.h>

#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/notification_center.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/animation.h>
#include <weeapp/ui/view.h>

#include <gtest/gtest.h>

namespace {

struct Counter : sys::Object {
    int heard { 0 };
    void hear() { ++heard; }
    static void heardSystemWide(sys::DarwinNotifyCenter*, void* observer, const std::string&, const void*, const sys::Dictionary*)
    {
        static_cast<Counter*>(observer)->hear();
    }
};

// What one run leaves behind (a delayed call, a running animation, observers in both centres,
// a system-wide post not yet delivered) reaches no later run once the platform is reset.
TEST(TestingReset, LeavesNothingOfTheLastRun)
{
    sys::RunLoop::main().setClock(std::make_shared<sys::ManualClock>());
    Counter counter;
    int delayedCalls = 0;
    sys::RunLoop::main().performAfterDelay(1, {}, [&delayedCalls] { ++delayedCalls; });
    sys::NotificationCenter::defaultCenter().addObserver(&counter, &Counter::hear, "local");
    sys::DarwinNotifyCenter::shared().addObserver(&counter, &Counter::heardSystemWide, "system-wide", nullptr,
        sys::CFNotificationSuspensionBehavior::DeliverImmediately);
    sys::DarwinNotifyCenter::shared().postNotification("system-wide");
    auto view = ui::View::create({ 0, 0, 10, 10 });
    ui::Animations::beginAnimations("fade", nullptr);
    ui::Animations::setAnimationDuration(2);
    view->setAlpha(0);
    ui::Animations::commitAnimations();
    ASSERT_FALSE(ui::Animations::running().empty());

    weeapp::resetForTests();
    EXPECT_EQ(sys::RunLoop::main().pendingCount(), 0u);
    EXPECT_TRUE(ui::Animations::running().empty());
    sys::NotificationCenter::defaultCenter().postNotificationName("local");
    sys::RunLoop::main().advance(3);
    EXPECT_EQ(counter.heard, 0);
    sys::DarwinNotifyCenter::shared().postNotification("system-wide");
    sys::RunLoop::main().advance(1);
    EXPECT_EQ(counter.heard, 0);
    EXPECT_EQ(delayedCalls, 0);
}

}
