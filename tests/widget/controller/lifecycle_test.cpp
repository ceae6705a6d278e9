#include "widget/support/phone_fixture.h"

#include "kavrin/published_names.h"
#include <weeapp/plugin/wee_app_controller.h>
#include <weeapp/sys/events/darwin_notify_center.h>
#include <weeapp/sys/events/notification_center.h>
#include <weeapp/sys/events/run_loop.h>
#include <weeapp/ui/views/animation.h>

namespace kavrin::testing {
namespace {

using LifecycleTest = PhoneFixture;
using weeapp::sys::Value;

// The host finds exactly the optional operations the widget implements.
TEST_F(LifecycleTest, AnswersForItsOptionalOperationsOnly)
{
    std::vector<std::string_view> implemented;
    for (std::string_view selector : weeapp::kOptionalSelectors) {
        if (controller->respondsToSelector(selector))
            implemented.push_back(selector);
    }
    EXPECT_EQ(implemented, (std::vector<std::string_view> { "viewHeight", "viewDidAppear", "viewDidDisappear", "launchURLForTapLocation" }));
    EXPECT_TRUE(controller->respondsToSelector("view"));
    // A name that is no method, the empty one included, is not answered for.
    EXPECT_FALSE(controller->respondsToSelector(""));
    EXPECT_FALSE(controller->respondsToSelector("viewWillAppear"));
}

// view builds once and registers once; the second call hands back the same container.
TEST_F(LifecycleTest, ViewTwiceBuildsAndRegistersOnce)
{
    writeFavorites(numberedFavorites(3));
    const weeapp::ui::ViewPtr first = controller->view();
    EXPECT_EQ(controller->addedOberserver, weeapp::sys::YES);
    EXPECT_EQ(weeapp::sys::NotificationCenter::defaultCenter().observerCount(kPreferencesChangedLocal), 1u);
    const weeapp::ui::View* firstScrollView = controller->scrollView.get();
    const std::vector<weeapp::ui::ViewPtr> tiles = controller->scrollView->subviews();

    writeFavorites(numberedFavorites(5));
    const weeapp::ui::ViewPtr second = controller->view();
    EXPECT_EQ(first, second);
    EXPECT_EQ(controller->scrollView.get(), firstScrollView);
    EXPECT_EQ(controller->scrollView->subviews(), tiles);
    EXPECT_EQ(weeapp::sys::NotificationCenter::defaultCenter().observerCount(kPreferencesChangedLocal), 1u);
    EXPECT_EQ(first->frame(), (weeapp::ui::Rect { 2, 2, 316, 110 }));
}

// The height follows the settings file at the moment of the call, before any rebuild.
TEST_F(LifecycleTest, ViewHeightFollowsTheFile)
{
    EXPECT_EQ(controller->viewHeight(), 110.0f);
    controller->view();
    setSetting("fiveIcons", Value::boolean(true));
    EXPECT_EQ(controller->viewHeight(), 92.0f);
    EXPECT_EQ(controller->viewH, 110);
    setSetting("metroStyle", Value::boolean(true));
    EXPECT_EQ(controller->viewHeight(), 106.0f);
    setSetting("tilesAlign", Value::integer(2));
    EXPECT_EQ(controller->viewHeight(), 128.0f);
}

// Appearing schedules a flip 2.5 s later unless one runs; disappearing cancels nothing.
TEST_F(LifecycleTest, AppearAndDisappearScheduleAgainstTheClock)
{
    writeSettings({ { "metroStyle", Value::boolean(true) }, { "animateMetrosOff", Value::boolean(true) } });
    writeFavorites(numberedFavorites(3));
    showWidget();
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 0u);

    controller->viewDidAppear();
    controller->viewDidAppear();
    EXPECT_EQ(controller->animate, weeapp::sys::YES);
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 2u);
    EXPECT_DOUBLE_EQ(weeapp::sys::RunLoop::main().nextDeadline(), 2.5);

    controller->aniRuns = weeapp::sys::YES;
    controller->viewDidAppear();
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 2u);
    controller->aniRuns = weeapp::sys::NO;

    controller->viewDidDisappear();
    EXPECT_EQ(controller->animate, weeapp::sys::NO);
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 2u);
    weeapp::sys::RunLoop::main().advance(2.4);
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 2u);
    weeapp::sys::RunLoop::main().advance(0.1);
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 0u);
}

// A destroyed controller hears nothing: not its pending flip, not the flip's did-stop, not a
// settings notification, not a tap on a tile the host still shows, not a scroll.
TEST_F(LifecycleTest, NoCallbackReachesADestroyedController)
{
    writeSettings({ { "metroStyle", Value::boolean(true) } });
    writeFavorites(numberedFavorites(4));
    showWidget();
    controller->viewDidAppear();
    weeapp::sys::RunLoop::main().advance(2.5);
    ASSERT_EQ(weeapp::ui::Animations::running().size(), 1u);
    ASSERT_GT(weeapp::sys::RunLoop::main().pendingCount(), 0u);
    controller->viewDidAppear();

    const std::shared_ptr<weeapp::ui::ScrollView> scrollView = controller->scrollView;
    const std::vector<weeapp::ui::Button*> buttons = tileButtons(*scrollView);
    controller.reset();

    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 0u);
    weeapp::sys::RunLoop::main().advance(10);
    EXPECT_EQ(weeapp::sys::NotificationCenter::defaultCenter().observerCount(kPreferencesChangedLocal), 0u);
    weeapp::sys::CFNotificationCenterPostNotification(weeapp::sys::CFNotificationCenterGetDarwinNotifyCenter(), kPreferencesChanged, nullptr, nullptr, true);
    weeapp::sys::RunLoop::main().runDueTasks();
    buttons.front()->sendActionsForControlEvents(weeapp::ui::ControlEventTouchUpInside);
    scrollView->setContentOffset({ 320, 0 });
    scrollView->endDecelerating();
    EXPECT_TRUE(openedURLs.empty());
}

}
}
