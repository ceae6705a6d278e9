#include <weeapp/platform_state.h>

#include <weeapp/sys/application.h>
#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/notification_center.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/sys/user_defaults.h>
#include <weeapp/ui/alert_view.h>
#include <weeapp/ui/animation.h>
#include <weeapp/ui/view.h>

#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <memory>
#include <optional>
#include <string>

namespace {

struct Counter : sys::Object {
    int heard { 0 };
    void hear() { ++heard; }
    static void heardSystemWide(sys::DarwinNotifyCenter*, void* observer, const std::string&, const void*, const sys::Dictionary*)
    {
        static_cast<Counter*>(observer)->hear();
    }
};

// Everything a session can leave in the platform, all of it aimed at counter: a delayed call,
// observers in both centres, a system-wide post not yet delivered, a running animation whose
// end calls back, a default, a seed, a phone root, a URL handler and an alert presenter.
void leaveEverything(Counter& counter, const std::shared_ptr<ui::View>& view)
{
    auto clock = std::make_shared<sys::ManualClock>();
    clock->setNow(5);
    sys::RunLoop::main().setClock(clock);
    sys::RunLoop::main().performAfterDelay(1, {}, [&counter] { counter.hear(); });
    sys::NotificationCenter::defaultCenter().addObserver(&counter, &Counter::hear, "local");
    sys::DarwinNotifyCenter::shared().addObserver(&counter, &Counter::heardSystemWide, "system-wide", nullptr,
        sys::CFNotificationSuspensionBehavior::DeliverImmediately);
    sys::DarwinNotifyCenter::shared().postNotification("system-wide");
    ui::Animations::beginAnimations("fade", nullptr);
    ui::Animations::setAnimationDuration(2);
    ui::Animations::setAnimationDelegate(&counter);
    ui::Animations::setAnimationDidStopSelector(&Counter::hear);
    view->setAlpha(0);
    ui::Animations::commitAnimations();
    sys::UserDefaults::standardUserDefaults().setObjectForKey(sys::Value::string("left"), "key");
    sys::UserDefaults::standardUserDefaults().setObjectForKey(sys::Value::array({ sys::Value::string("de") }), sys::kAppleLanguagesKey);
    sys::seedRandom(7);
    sys::setPhoneRoot("/tmp/left-behind");
    sys::Application::sharedApplication().setOpenURLHandler([&counter](const sys::URL&) {
        counter.hear();
        return true;
    });
    ui::AlertView::setPresenter([&counter](std::shared_ptr<ui::AlertView>) { counter.hear(); });
}

std::uint32_t firstDrawWithSeed(std::uint64_t seed)
{
    weeapp::PlatformState state;
    sys::seedRandom(seed);
    return sys::arc4random();
}

// A fresh state has none of the current one's objects: no delayed call, observer, pending post
// or animation of the old one reaches it, and it starts with a manual clock at 0, the registered
// defaults, its own random source, the root "/" and no handlers. When it ends, the old state is
// current again with all it held.
TEST(PlatformState, AFreshStateHasNothingOfTheOldOne)
{
    Counter counter;
    auto view = ui::View::create({ 0, 0, 10, 10 });
    leaveEverything(counter, view);
    const std::uint32_t seededDraw = firstDrawWithSeed(7);
    {
        weeapp::PlatformState fresh;
        EXPECT_EQ(sys::RunLoop::main().now(), 0.0);
        EXPECT_EQ(sys::RunLoop::main().pendingCount(), 0u);
        EXPECT_TRUE(ui::Animations::running().empty());
        EXPECT_FALSE(ui::Animations::isRecording());
        EXPECT_EQ(sys::UserDefaults::standardUserDefaults().objectForKey("key"), nullptr);
        EXPECT_EQ(sys::preferredLanguage(), "en");
        EXPECT_EQ(sys::phoneRoot(), "/");
        EXPECT_NE(sys::arc4random(), seededDraw);
        EXPECT_FALSE(sys::DarwinNotifyCenter::shared().hasPending());
        EXPECT_FALSE(sys::Application::sharedApplication().openURL(sys::URL::URLWithString("tel:1")));
        ui::AlertView::create("title", std::nullopt, nullptr, "OK")->show();
        sys::NotificationCenter::defaultCenter().postNotificationName("local");
        sys::DarwinNotifyCenter::shared().postNotification("system-wide");
        sys::RunLoop::main().advance(10);
        EXPECT_EQ(counter.heard, 0);
    }
    EXPECT_EQ(sys::RunLoop::main().now(), 5.0);
    EXPECT_EQ(sys::RunLoop::main().pendingCount(), 2u) << "the delayed call and the animation's end";
    EXPECT_EQ(ui::Animations::running().size(), 1u);
    EXPECT_EQ(sys::phoneRoot(), "/tmp/left-behind");
    EXPECT_EQ(sys::preferredLanguage(), "de");
    EXPECT_EQ(sys::arc4random(), seededDraw);
    EXPECT_TRUE(sys::DarwinNotifyCenter::shared().hasPending());
    sys::RunLoop::main().advance(3);
    EXPECT_EQ(counter.heard, 3) << "the delayed call, the system-wide post and the animation's end";
}

// Ending a state with all of that still pending delivers none of it, not when the state ends,
// not later through the state around it, and not when the receivers are destroyed afterwards;
// its transport folder is no longer watched.
TEST(PlatformState, AnEndedStateDeliversNothing)
{
    kavrin::testing::TemporaryFolder folder;
    auto counter = std::make_unique<Counter>();
    auto view = ui::View::create({ 0, 0, 10, 10 });
    int transport = -1;
    {
        weeapp::PlatformState ending;
        leaveEverything(*counter, view);
        ASSERT_TRUE(sys::DarwinNotifyCenter::shared().setTransportDirectory(folder.path()));
        transport = sys::DarwinNotifyCenter::shared().transportFileDescriptor();
        sys::DarwinNotifyCenter::shared().postNotification("system-wide");
    }
    EXPECT_EQ(::fcntl(transport, F_GETFD), -1) << "the transport's descriptor is closed";
    sys::DarwinNotifyCenter::shared().postNotification("system-wide");
    sys::NotificationCenter::defaultCenter().postNotificationName("local");
    sys::RunLoop::main().advance(10);
    EXPECT_EQ(counter->heard, 0);
    counter.reset();
    view.reset();
    sys::RunLoop::main().advance(10);
}

}
