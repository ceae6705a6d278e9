// Any bytes as two settings files, the first byte telling where the first ends: the widget is
// built and shown on the first, the second replaces it and its change notification arrives, the
// animations run out and a tile is tapped, without failing. After the change the widget shows
// what a widget started on the second file shows: the same look, page size, height, tiles and
// pages.
#include "controller/kavrin_controller.h"
#include "fuzz_phone.h"
#include "kavrin/published_names.h"
#include <weeapp/sys/notification_center.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/alert_view.h>
#include <weeapp/ui/button.h>
#include <weeapp/ui/window.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <vector>

namespace {

using namespace kavrin;

// Five favorites: two pages of four, one of five.
const phone_files::PhoneWriter& phone()
{
    static const phone_files::PhoneWriter writer = [] {
        phone_files::PhoneWriter made = fuzzing::makeFuzzPhone("kavrin-fuzz-chg-");
        std::vector<phone_files::FavoriteRecord> favorites;
        for (std::int64_t record = 1; record <= 5; ++record)
            favorites.push_back({ "Contact " + std::to_string(record), record, "_$!<Mobile>!$_", "+49 170 " + std::to_string(record) });
        made.writeFavorites(favorites);
        return made;
    }();
    return writer;
}

// What the user sees of the widget's build: its look, page size, height, tiles and pages.
auto shownState(const KavrinController& controller)
{
    std::size_t tiles = 0;
    for (const ui::ViewPtr& child : controller.scrollView->subviews())
        tiles += dynamic_cast<ui::Button*>(child.get()) ? 1 : 0;
    return std::make_tuple(controller.isMetroStyle, controller.isMetroStyle ? 0 : controller.contactsPerPage, controller.viewH,
        tiles, controller.pageControl->numberOfPages(), controller.scrollView->contentSize().width);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzzing::FuzzPlatform platform(phone());
    const auto [before, after] = fuzzing::splitAtFirstByte(data, size);
    phone().writeFile(kSettingsPath, before);

    std::shared_ptr<ui::AlertView> shown;
    ui::AlertView::setPresenter([&shown](std::shared_ptr<ui::AlertView> alert) { shown = std::move(alert); });
    sys::seedRandom(size);
    {
        auto window = ui::Window::create({ 0, 0, 320, 480 });
        KavrinController changed;
        window->addSubview(changed.view());
        changed.viewDidAppear();
        sys::RunLoop::main().advance(2);

        phone().writeFile(kSettingsPath, after);
        sys::NotificationCenter::defaultCenter().postNotificationName(kPreferencesChangedLocal);
        sys::RunLoop::main().advance(8);

        KavrinController fresh;
        auto freshWindow = ui::Window::create({ 0, 0, 320, 480 });
        freshWindow->addSubview(fresh.view());
        if (shownState(changed) != shownState(fresh))
            std::abort();

        for (const ui::ViewPtr& child : changed.scrollView->subviews()) {
            if (auto* button = dynamic_cast<ui::Button*>(child.get())) {
                button->sendActionsForControlEvents(ui::ControlEventTouchUpInside);
                break;
            }
        }
        if (shown)
            shown->dismissWithClickedButtonIndex(1);
        shown.reset();
        changed.viewDidDisappear();
    }
    sys::RunLoop::main().advance(8);
    return 0;
}
