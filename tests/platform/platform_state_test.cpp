#include <weeapp/platform_state.h>

#include <weeapp/sys/application.h>
#include <weeapp/sys/events/darwin_notify_center.h>
#include <weeapp/sys/events/notification_center.h>
#include <weeapp/sys/events/run_loop.h>
#include <weeapp/sys/files/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/user_defaults.h>
#include <weeapp/ui/views/alert_view.h>
#include <weeapp/ui/views/animation.h>
#include <weeapp/ui/views/view.h>

#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <memory>
#include <optional>
#include <string>

namespace {

struct Counter : weeapp::sys::Object {
    int heard { 0 };
    void hear() { ++heard; }
    static void heardSystemWide(weeapp::sys::DarwinNotifyCenter*, void* observer, const std::string&, const void*, const weeapp::sys::Dictionary*)
    {
        static_cast<Counter*>(observer)->hear();
    }
};

// Everything a session can leave in the platform, all of it aimed at counter: a delayed call,
// observers in both centres, a system-wide post not yet delivered, a running animation whose
// end calls back, a default, a seed, a phone root, a URL handler and an alert presenter.
void leaveEverything(Counter& counter, const std::shared_ptr<weeapp::ui::View>& view)
{
    auto clock = std::make_shared<weeapp::sys::ManualClock>();
    clock->setNow(5);
    weeapp::sys::RunLoop::main().setClock(clock);
    weeapp::sys::RunLoop::main().performAfterDelay(1, {}, [&counter] { counter.hear(); });
    weeapp::sys::NotificationCenter::defaultCenter().addObserver(&counter, &Counter::hear, "local");
    weeapp::sys::DarwinNotifyCenter::shared().addObserver(&counter, &Counter::heardSystemWide, "system-wide", nullptr,
        weeapp::sys::CFNotificationSuspensionBehavior::DeliverImmediately);
    weeapp::sys::DarwinNotifyCenter::shared().postNotification("system-wide");
    weeapp::ui::Animations::beginAnimations("fade", nullptr);
    weeapp::ui::Animations::setAnimationDuration(2);
    weeapp::ui::Animations::setAnimationDelegate(&counter);
    weeapp::ui::Animations::setAnimationDidStopSelector(&Counter::hear);
    view->setAlpha(0);
    weeapp::ui::Animations::commitAnimations();
    weeapp::sys::UserDefaults::standardUserDefaults().setObjectForKey(weeapp::sys::Value::string("left"), "key");
    weeapp::sys::UserDefaults::standardUserDefaults().setObjectForKey(weeapp::sys::Value::array({ weeapp::sys::Value::string("de") }), weeapp::sys::kAppleLanguagesKey);
    weeapp::sys::seedRandom(7);
    weeapp::sys::setPhoneRoot("/tmp/left-behind");
    weeapp::sys::Application::sharedApplication().setOpenURLHandler([&counter](const weeapp::sys::URL&) {
        counter.hear();
        return true;
    });
    weeapp::ui::AlertView::setPresenter([&counter](std::shared_ptr<weeapp::ui::AlertView>) { counter.hear(); });
}

std::uint32_t firstDrawWithSeed(std::uint64_t seed)
{
    weeapp::PlatformState state;
    weeapp::sys::seedRandom(seed);
    return weeapp::sys::arc4random();
}

// A fresh state has none of the current one's objects: no delayed call, observer, pending post
// or animation of the old one reaches it, and it starts with a manual clock at 0, the registered
// defaults, its own random source, the root "/" and no handlers. When it ends, the old state is
// current again with all it held.
TEST(PlatformState, AFreshStateHasNothingOfTheOldOne)
{
    Counter counter;
    auto view = weeapp::ui::View::create({ 0, 0, 10, 10 });
    leaveEverything(counter, view);
    const std::uint32_t seededDraw = firstDrawWithSeed(7);
    {
        weeapp::PlatformState fresh;
        EXPECT_EQ(weeapp::sys::RunLoop::main().now(), 0.0);
        EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 0u);
        EXPECT_TRUE(weeapp::ui::Animations::running().empty());
        EXPECT_FALSE(weeapp::ui::Animations::isRecording());
        EXPECT_EQ(weeapp::sys::UserDefaults::standardUserDefaults().objectForKey("key"), nullptr);
        EXPECT_EQ(weeapp::sys::preferredLanguage(), "en");
        EXPECT_EQ(weeapp::sys::phoneRoot(), "/");
        EXPECT_NE(weeapp::sys::arc4random(), seededDraw);
        EXPECT_FALSE(weeapp::sys::DarwinNotifyCenter::shared().hasPending());
        EXPECT_FALSE(weeapp::sys::Application::sharedApplication().openURL(weeapp::sys::URL::URLWithString("tel:1")));
        weeapp::ui::AlertView::create("title", std::nullopt, nullptr, "OK")->show();
        weeapp::sys::NotificationCenter::defaultCenter().postNotificationName("local");
        weeapp::sys::DarwinNotifyCenter::shared().postNotification("system-wide");
        weeapp::sys::RunLoop::main().advance(10);
        EXPECT_EQ(counter.heard, 0);
    }
    EXPECT_EQ(weeapp::sys::RunLoop::main().now(), 5.0);
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 2u) << "the delayed call and the animation's end";
    EXPECT_EQ(weeapp::ui::Animations::running().size(), 1u);
    EXPECT_EQ(weeapp::sys::phoneRoot(), "/tmp/left-behind");
    EXPECT_EQ(weeapp::sys::preferredLanguage(), "de");
    EXPECT_EQ(weeapp::sys::arc4random(), seededDraw);
    EXPECT_TRUE(weeapp::sys::DarwinNotifyCenter::shared().hasPending());
    weeapp::sys::RunLoop::main().advance(3);
    EXPECT_EQ(counter.heard, 3) << "the delayed call, the system-wide post and the animation's end";
}

// Ending a state with all of that still pending delivers none of it, not when the state ends,
// not later through the state around it, and not when the receivers are destroyed afterwards;
// its transport folder is no longer watched.
TEST(PlatformState, AnEndedStateDeliversNothing)
{
    kavrin::testing::TemporaryFolder folder;
    auto counter = std::make_unique<Counter>();
    auto view = weeapp::ui::View::create({ 0, 0, 10, 10 });
    int transport = -1;
    {
        weeapp::PlatformState ending;
        leaveEverything(*counter, view);
        ASSERT_TRUE(weeapp::sys::DarwinNotifyCenter::shared().setTransportDirectory(folder.path()));
        transport = weeapp::sys::DarwinNotifyCenter::shared().transportFileDescriptor();
        weeapp::sys::DarwinNotifyCenter::shared().postNotification("system-wide");
    }
    EXPECT_EQ(::fcntl(transport, F_GETFD), -1) << "the transport's descriptor is closed";
    weeapp::sys::DarwinNotifyCenter::shared().postNotification("system-wide");
    weeapp::sys::NotificationCenter::defaultCenter().postNotificationName("local");
    weeapp::sys::RunLoop::main().advance(10);
    EXPECT_EQ(counter->heard, 0);
    counter.reset();
    view.reset();
    weeapp::sys::RunLoop::main().advance(10);
}

}
