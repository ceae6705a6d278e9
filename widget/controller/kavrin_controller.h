#pragma once

#include "actions/tap_decision.h"
#include <weeapp/plugin/wee_app_controller.h>
#include <weeapp/sys/events/darwin_notify_center.h>
#include <weeapp/sys/object.h>
#include <weeapp/sys/value.h>
#include <weeapp/ui/color.h>
#include <weeapp/ui/images/image.h>
#include <weeapp/ui/views/alert_view.h>
#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/label.h>
#include <weeapp/ui/views/page_control.h>
#include <weeapp/ui/views/scroll_view.h>
#include <weeapp/ui/views/view.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace kavrin {

using ButtonArray = std::vector<std::shared_ptr<weeapp::ui::Button>>;
using LabelArray = std::vector<std::shared_ptr<weeapp::ui::Label>>;

// The widget: one controller that the host creates, asks for its view and drives. It is the
// delegate of its own scroll view and of the action chooser. Its methods live in the folder of
// the role they belong to, in a file named after the method or the group of methods:
//
//   controller/kavrin_controller.cpp    view, viewHeight, viewDidAppear, viewDidDisappear,
//                                       respondsToSelector
//   controller/preferences_change.cpp   preferencesChange2 (and the system-wide callback)
//   tiles/build_view.cpp                buildView
//   tiles/build_ground_view.cpp         buildGroundView
//   tiles/build_standard_tiles.cpp      buildStandardTiles, the standard branch of buildView
//   tiles/build_metro_tiles.cpp         buildMetroTiles, the metro branch of buildView
//   tiles/flip_style.cpp                flipStyle, flipStyleDone
//   tiles/paging.cpp                    scrollViewDidScroll, scrollViewDidEndDecelerating,
//                                       pageControlAccessibilityValue
//   tiles/tile_accessibility.cpp        describeTile, accessibilityTextWhileAlive
//   actions/tap_dispatch.cpp            doStart
//   actions/tap_decision.cpp            decideTap, readAskFlags
//   actions/tap_hint.cpp                tileAccessibilityHint
//   actions/action_chooser.cpp          showActionChooser, alertViewClickedButtonAtIndex
//   actions/url_launch.cpp              doCall, doMessage, doMail, visitWebSite, visitFB
//   actions/tap_forwarding.cpp          launchURLForTapLocation
//   settings/settings_flags.cpp         checkSetting, getStandardAction,
//                                       createEditableCopyOfSettingsIfNeeded
//   settings/metro_settings.cpp         getMetroPattern, getMetroBackgroundColor
//   sources/address_book.cpp            getMailFromDB, getImageFromDB, getNewDBConnection,
//                                       getNewABDBConnection
class KavrinController final : public weeapp::BBWeeAppController, public weeapp::ui::ScrollViewDelegate, public weeapp::ui::AlertViewDelegate {
public:
    KavrinController() = default;
    ~KavrinController() override = default;
    KavrinController(const KavrinController&) = delete;
    KavrinController& operator=(const KavrinController&) = delete;

    bool respondsToSelector(std::string_view selector) const override;

    // Host lifecycle (controller/).
    void viewDidAppear() override;
    void viewDidDisappear() override;
    weeapp::ui::ViewPtr view() override;
    float viewHeight() override;
    void preferencesChange2();

    // Tile view (tiles/).
    void buildView();
    void flipStyle();
    void flipStyleDone();
    void buildGroundView();
    void scrollViewDidScroll(weeapp::ui::ScrollView*) override;
    void scrollViewDidEndDecelerating(weeapp::ui::ScrollView*) override;
    // What a screen reader hears, worked out when it asks: the page control's "page 2 of 3"
    // (tiles/paging.cpp) and what a tap on a tile does (actions/tap_hint.cpp), both in the
    // user's language.
    std::optional<std::string> pageControlAccessibilityValue();
    std::optional<std::string> tileAccessibilityHint();

    // Contact actions (actions/).
    void doStart(weeapp::ui::Control* sender);
    void doMail(const std::string* address);
    void doMessage(const std::string* number);
    void doCall(const std::string* number);
    void alertViewClickedButtonAtIndex(weeapp::ui::AlertView*, int buttonIndex) override;
    weeapp::sys::URLPtr launchURLForTapLocation(weeapp::ui::Point) override;
    void visitWebSite(weeapp::sys::Object* sender);
    void visitFB(weeapp::sys::Object* sender);

    // Settings (settings/).
    weeapp::sys::ValuePtr getMetroPattern();
    weeapp::ui::ColorPtr getMetroBackgroundColor();
    std::int32_t getStandardAction();
    weeapp::sys::BOOL checkSetting(const std::string& key);
    void createEditableCopyOfSettingsIfNeeded();

    // Contact sources (sources/).
    std::string getMailFromDB(std::int32_t recordId);
    weeapp::ui::ImagePtr getImageFromDB(std::int32_t recordId);
    sqlite3* getNewDBConnection();
    sqlite3* getNewABDBConnection();

    // The fields, in their declared order. A boolean is the frameworks' 8-bit BOOL.
    weeapp::ui::ViewPtr _view;
    std::shared_ptr<weeapp::ui::ScrollView> scrollView;
    std::shared_ptr<weeapp::ui::PageControl> pageControl;
    weeapp::sys::ValuePtr rawElementsArray;
    weeapp::sys::BOOL pageControlUsed { weeapp::sys::NO };
    std::int32_t contactsPerPage { 0 };
    std::int32_t viewH { 0 };
    std::int32_t distance { 0 };
    std::int32_t selectedContact { 0 };
    weeapp::sys::BOOL addedOberserver { weeapp::sys::NO };
    weeapp::sys::BOOL bgIsVisible { weeapp::sys::NO };
    weeapp::sys::BOOL labelsAreVisible { weeapp::sys::NO };
    std::int32_t step { 0 };
    std::shared_ptr<ButtonArray> buttons;
    std::shared_ptr<LabelArray> labels;
    weeapp::sys::BOOL aniRuns { weeapp::sys::NO };
    weeapp::sys::BOOL animate { weeapp::sys::NO };
    weeapp::sys::BOOL isMetroStyle { weeapp::sys::NO };
    weeapp::ui::ColorPtr metroBGColor;
    std::int32_t littleTiles { 0 };

private:
    // The look-specific halves of buildView (tiles/build_standard_tiles.cpp, tiles/build_metro_tiles.cpp);
    // the metro half returns the index of the last page it used.
    void buildStandardTiles();
    std::int32_t buildMetroTiles();
    // What a tap does as the settings say now (actions/tap_decision.cpp): the ask-flags alone, as
    // a chooser's press reads them, or with the standard action when it decides.
    TapDecision readAskFlags();
    TapDecision decideTap();
    // The chooser half of doStart (actions/action_chooser.cpp).
    void showActionChooser(std::int32_t tag, const TapDecision&, const std::string& mail);
    // A tile's accessibility (tiles/tile_accessibility.cpp): its label, its hint asked for each
    // time, the parts that stay silent and, when it is more than the button, the area it covers.
    void describeTile(weeapp::ui::Button&, std::string label, const std::vector<weeapp::ui::View*>& silentParts, std::optional<weeapp::ui::Rect> area);
    weeapp::ui::AccessibilityTextProvider accessibilityTextWhileAlive(std::optional<std::string> (KavrinController::*text)());
};

// The system-wide settings-changed callback: re-posts the notification locally.
void preferencesChange(weeapp::sys::DarwinNotifyCenter* center, void* observer, const std::string& name, const void* object, const weeapp::sys::Dictionary* userInfo);

}
