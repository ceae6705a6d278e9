#include "widget/support/phone_fixture.h"

#include "kavrin/published_names.h"
#include <weeapp/sys/events/darwin_notify_center.h>
#include <weeapp/sys/events/notification_center.h>
#include <weeapp/sys/events/run_loop.h>

namespace kavrin::testing {
namespace {

using weeapp::sys::Value;

class PreferencesChangeTest : public PhoneFixture {
protected:
    // The system-wide post, delivered by the run loop; true when it rebuilt the tiles.
    bool notifyRebuilds()
    {
        const std::vector<weeapp::ui::ViewPtr> before = controller->scrollView->subviews();
        weeapp::sys::CFNotificationCenterPostNotification(weeapp::sys::CFNotificationCenterGetDarwinNotifyCenter(), kPreferencesChanged, nullptr, nullptr, true);
        weeapp::sys::RunLoop::main().runDueTasks();
        return controller->scrollView->subviews() != before;
    }
};

// Standard look: littleTiles stays 0, which no pattern has, so every notification rebuilds;
// a rebuild stops the flip chain.
TEST_F(PreferencesChangeTest, StandardLookAlwaysRebuilds)
{
    writeFavorites(numberedFavorites(2));
    showWidget();
    controller->animate = weeapp::sys::YES;
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_EQ(controller->animate, weeapp::sys::NO);
    EXPECT_TRUE(notifyRebuilds());
}

// Metro look with nothing changed does not rebuild; each watched setting does, once.
TEST_F(PreferencesChangeTest, MetroLookRebuildsOnlyForWatchedChanges)
{
    writeSettings({ { "metroStyle", Value::boolean(true) }, { "tilesAlign", Value::integer(2) }, { "metroBackground", Value::integer(2) } });
    writeFavorites(numberedFavorites(3));
    showWidget();
    EXPECT_FALSE(notifyRebuilds());

    for (const char* unwatched : { "animateMetrosOff", "askForCall", "askForText", "askForMail" }) {
        setSetting(unwatched, Value::boolean(true));
        EXPECT_FALSE(notifyRebuilds()) << unwatched;
    }
    setSetting("standardAction", Value::integer(2));
    EXPECT_FALSE(notifyRebuilds());
    setSetting("animateMetrosOff", nullptr);

    setSetting("tilesAlign", Value::integer(3));
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_EQ(controller->littleTiles, 5);
    EXPECT_FALSE(notifyRebuilds());

    setSetting("metroBackground", Value::integer(6));
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_EQ(controller->metroBGColor, weeapp::ui::Color::whiteColor());
    EXPECT_FALSE(notifyRebuilds());

    // Never built in the standard look, so "fiveIcons" alone changes nothing here.
    setSetting("fiveIcons", Value::boolean(true));
    EXPECT_FALSE(notifyRebuilds());

    // The metro look never sets labelsAreVisible, so with "showLabels" on every post rebuilds.
    setSetting("showLabels", Value::boolean(true));
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_TRUE(notifyRebuilds());
}

// The page size counts as changed for "fiveIcons" on with four a page or off with five, also
// after the look has switched to metro.
TEST_F(PreferencesChangeTest, PageSizeChanges)
{
    writeFavorites(numberedFavorites(6));
    showWidget();
    controller->littleTiles = 4; // as if a metro build had run, so only the page size decides
    EXPECT_FALSE(notifyRebuilds());
    setSetting("fiveIcons", Value::boolean(true));
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_EQ(controller->contactsPerPage, 5);

    setSetting("metroStyle", Value::boolean(true));
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_FALSE(notifyRebuilds());
    setSetting("fiveIcons", Value::boolean(false));
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_EQ(controller->contactsPerPage, 5);

    // Any page size but 4 and 5 never counts as a change.
    setSetting("metroStyle", nullptr);
    EXPECT_TRUE(notifyRebuilds());
    controller->contactsPerPage = 0;
    for (const bool five : { true, false }) {
        setSetting("fiveIcons", Value::boolean(five));
        EXPECT_FALSE(notifyRebuilds()) << five;
    }
}

// "showBg" is watched on its own; a change of the page size and of the look together rebuilds
// once, which in the metro look schedules exactly one flip.
TEST_F(PreferencesChangeTest, BackgroundAndSingleRebuild)
{
    writeFavorites(numberedFavorites(6));
    showWidget();
    controller->littleTiles = 4;
    setSetting("showBg", Value::boolean(true));
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_EQ(controller->bgIsVisible, weeapp::sys::YES);
    EXPECT_FALSE(notifyRebuilds());
    setSetting("showBg", Value::boolean(false));
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_EQ(controller->bgIsVisible, weeapp::sys::NO);
    EXPECT_FALSE(notifyRebuilds());

    setSetting("fiveIcons", Value::boolean(true));
    setSetting("metroStyle", Value::boolean(true));
    weeapp::sys::RunLoop::main().removeAllTasks();
    EXPECT_TRUE(notifyRebuilds());
    EXPECT_EQ(weeapp::sys::RunLoop::main().pendingCount(), 1u);
}

struct PostCounter : weeapp::sys::Object {
    void heard() { ++count; }
    int count { 0 };
};

// A burst of system-wide posts before the run loop turns arrives as one local post.
TEST_F(PreferencesChangeTest, BurstOfPostsArrivesOnce)
{
    showWidget();
    PostCounter counter;
    weeapp::sys::NotificationCenter::defaultCenter().addObserver(&counter, &PostCounter::heard, kPreferencesChangedLocal);
    for (int i = 0; i < 5; ++i)
        weeapp::sys::CFNotificationCenterPostNotification(weeapp::sys::CFNotificationCenterGetDarwinNotifyCenter(), kPreferencesChanged, nullptr, nullptr, true);
    weeapp::sys::RunLoop::main().runDueTasks();
    EXPECT_EQ(counter.count, 1);
    EXPECT_FALSE(weeapp::sys::DarwinNotifyCenter::shared().hasPending());
}

}
}
