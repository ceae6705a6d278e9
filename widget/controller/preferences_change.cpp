#include "controller/kavrin_controller.h"

#include "kavrin/published_names.h"
#include <weeapp/sys/events/notification_center.h>

namespace kavrin {

void preferencesChange(weeapp::sys::DarwinNotifyCenter*, void*, const std::string&, const void*, const weeapp::sys::Dictionary*)
{
    weeapp::sys::NotificationCenter::defaultCenter().postNotificationName(kPreferencesChangedLocal);
}

void KavrinController::preferencesChange2()
{
    // The page size counts as changed for "fiveIcons" on with four tiles a page or off with
    // five; the second lookup may see a newer file than the first.
    bool pageSizeChanged;
    if (checkSetting("fiveIcons") && contactsPerPage == 4)
        pageSizeChanged = true;
    else
        pageSizeChanged = checkSetting("fiveIcons") ? false : contactsPerPage == 5;

    const weeapp::sys::BOOL showLabels = checkSetting("showLabels");
    const weeapp::sys::BOOL showBg = checkSetting("showBg");
    const weeapp::sys::BOOL metroStyle = checkSetting("metroStyle");
    const weeapp::ui::ColorPtr backgroundColor = getMetroBackgroundColor();
    const std::int32_t rightTiles = weeapp::sys::intValue(weeapp::sys::objectForKey(getMetroPattern(), "righttiles"));

    const bool restUnchanged = showLabels == labelsAreVisible && showBg == bgIsVisible && metroStyle == isMetroStyle
        && backgroundColor == metroBGColor && rightTiles == littleTiles;

    if (pageSizeChanged || !restUnchanged) {
        animate = weeapp::sys::NO;
        buildGroundView();
        buildView();
    }
}

}
