// Any bytes after the first as the phone's favorites list, the first choosing the look from
// the settings: the widget builds its tiles, appears and flips, takes a tap on every tile (and
// a press in the chooser), pages, answers its screen reader and rebuilds, without failing; a
// rebuild leaves exactly the tiles of one build.
#include "controller/kavrin_controller.h"
#include "fuzz_phone.h"
#include "kavrin/published_names.h"
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/alert_view.h>
#include <weeapp/ui/button.h>
#include <weeapp/ui/window.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

using namespace kavrin;

// The settings file a look byte stands for: each bit a switch, two of them the metro pattern.
std::string settingsFor(std::uint8_t look)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    auto flag = [&xml, look](const char* key, int bit) {
        xml += std::string("<key>") + key + "</key>" + ((look >> bit) & 1 ? "<true/>" : "<false/>") + "\n";
    };
    flag("metroStyle", 0);
    flag("fiveIcons", 1);
    flag("showLabels", 2);
    flag("showBg", 3);
    flag("askForCall", 6);
    flag("animateMetrosOff", 7);
    xml += "<key>tilesAlign</key><integer>" + std::to_string(((look >> 4) & 3) + 1) + "</integer>\n";
    xml += "<key>metroBackground</key><integer>" + std::to_string(look % 8) + "</integer>\n";
    xml += "<key>standardAction</key><integer>" + std::to_string(look % 4) + "</integer>\n";
    return xml + "</dict>\n</plist>\n";
}

std::size_t tileCount(const KavrinController& controller)
{
    std::size_t tiles = 0;
    for (const ui::ViewPtr& child : controller.scrollView->subviews())
        tiles += dynamic_cast<ui::Button*>(child.get()) ? 1 : 0;
    return tiles;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const phone_files::PhoneWriter phone = fuzzing::makeFuzzPhone("kavrin-fuzz-fav-");
    const fuzzing::FuzzPlatform platform(phone);
    // The settings file is written again only when the look changes.
    static std::optional<std::uint8_t> writtenLook;
    const std::uint8_t look = size > 0 ? data[0] : 0;
    if (writtenLook != look) {
        const std::string settings = settingsFor(look);
        phone.writeFile(kSettingsPath, { reinterpret_cast<const std::uint8_t*>(settings.data()), settings.size() });
        writtenLook = look;
    }
    phone.writeFile(sys::kFavoritesPath, { size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0 });

    std::shared_ptr<ui::AlertView> shown;
    ui::AlertView::setPresenter([&shown](std::shared_ptr<ui::AlertView> alert) { shown = std::move(alert); });
    sys::seedRandom(size);
    {
        auto window = ui::Window::create({ 0, 0, 320, 480 });
        KavrinController controller;
        window->addSubview(controller.view());
        controller.viewHeight();
        controller.viewDidAppear();
        sys::RunLoop::main().advance(8);
        const std::size_t tiles = tileCount(controller);
        for (const ui::ViewPtr& child : controller.scrollView->subviews()) {
            if (auto* button = dynamic_cast<ui::Button*>(child.get())) {
                button->accessibilityHint();
                button->sendActionsForControlEvents(ui::ControlEventTouchUpInside);
            }
            if (shown)
                shown->dismissWithClickedButtonIndex(static_cast<int>(size % 4));
            shown.reset();
        }
        controller.launchURLForTapLocation({ 40, 40 });
        controller.scrollView->setContentOffset({ 500, 0 });
        controller.scrollViewDidEndDecelerating(controller.scrollView.get());
        controller.pageControlAccessibilityValue();
        controller.buildGroundView();
        controller.buildView();
        if (tileCount(controller) != tiles)
            std::abort();
        controller.viewDidDisappear();
    }
    sys::RunLoop::main().advance(8);
    return 0;
}
