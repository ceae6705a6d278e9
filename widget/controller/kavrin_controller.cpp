#include "controller/kavrin_controller.h"

#include "kavrin/published_names.h"
#include "tiles/tile_geometry.h"
#include <weeapp/sys/events/notification_center.h>
#include <weeapp/sys/events/run_loop.h>

#include <algorithm>
#include <array>

namespace kavrin {

namespace {

// Every method of the class, as respondsToSelector names them. Of the host protocol's optional
// operations the widget has viewHeight, viewDidAppear, viewDidDisappear and
// launchURLForTapLocation; the others it lacks.
constexpr std::array<std::string_view, 28> kSelectors {
    "viewDidAppear",
    "viewDidDisappear",
    "buildView",
    "flipStyle",
    "flipStyleDone",
    "buildGroundView",
    "view",
    "preferencesChange2",
    "doStart",
    "doMail",
    "doMessage",
    "doCall",
    "getMetroPattern",
    "getMetroBackgroundColor",
    "getStandardAction",
    "checkSetting",
    "alertViewClickedButtonAtIndex",
    "scrollViewDidScroll",
    "scrollViewDidEndDecelerating",
    "launchURLForTapLocation",
    "getMailFromDB",
    "getImageFromDB",
    "getNewDBConnection",
    "getNewABDBConnection",
    "createEditableCopyOfSettingsIfNeeded",
    "visitWebSite",
    "visitFB",
    "viewHeight",
};

}

bool KavrinController::respondsToSelector(std::string_view selector) const
{
    return std::find(kSelectors.begin(), kSelectors.end(), selector) != kSelectors.end();
}

weeapp::ui::ViewPtr KavrinController::view()
{
    if (!_view) {
        _view = weeapp::ui::View::create({ 2, 0, 316, 0 });
        scrollView = weeapp::ui::ScrollView::create();
        pageControl = weeapp::ui::PageControl::create();
        pageControl->setAccessibilityValueProvider(accessibilityTextWhileAlive(&KavrinController::pageControlAccessibilityValue));
        buildGroundView();
        buildView();
    }
    // Both registrations are made once and never withdrawn. Neither can reach a destroyed
    // controller: the local centre holds the controller's lifetime, not the controller, and
    // the system-wide callback is a plain function that only re-posts locally.
    if (!addedOberserver) {
        weeapp::sys::NotificationCenter::defaultCenter().addObserver(this, &KavrinController::preferencesChange2, kPreferencesChangedLocal);
        weeapp::sys::CFNotificationCenterAddObserver(weeapp::sys::CFNotificationCenterGetDarwinNotifyCenter(), nullptr, preferencesChange,
            kPreferencesChanged, nullptr, weeapp::sys::CFNotificationSuspensionBehavior::Coalesce);
        addedOberserver = weeapp::sys::YES;
    }
    return _view;
}

float KavrinController::viewHeight()
{
    if (checkSetting("metroStyle"))
        return static_cast<float>(weeapp::sys::intValue(weeapp::sys::objectForKey(getMetroPattern(), "viewHeight")));
    return checkSetting("fiveIcons") ? 92.0f : 110.0f;
}

void KavrinController::viewDidAppear()
{
    animate = weeapp::sys::YES;
    if (!aniRuns)
        weeapp::sys::performSelectorWithObjectAfterDelay(this, &KavrinController::flipStyle, nullptr, kFlipDelay);
}

void KavrinController::viewDidDisappear()
{
    animate = weeapp::sys::NO;
}

}
