// Any bytes as the phone's settings and favorites files: the widget builds, answers, flips,
// takes taps and presses, pages and rebuilds without failing.
#include "controller/kavrin_controller.h"
#include "fuzz_phone.h"
#include "kavrin/published_names.h"
#include "phone_writer.h"
#include <weeapp/sys/application.h>
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/testing_reset.h>
#include <weeapp/ui/alert_view.h>
#include <weeapp/ui/button.h>
#include <weeapp/ui/window.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace {

using namespace kavrin;

// A phone root of this process's own, made once: the two files the input stands for go into it.
const phone_files::PhoneWriter& phone()
{
    static const phone_files::PhoneWriter writer = fuzzing::makeFuzzPhone("kavrin-fuzz-");
    return writer;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto [settings, favorites] = fuzzing::splitAtFirstByte(data, size);
    phone().writeFile(kSettingsPath, settings);
    phone().writeFile(sys::kFavoritesPath, favorites);

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
        for (const ui::ViewPtr& child : controller.scrollView->subviews()) {
            if (auto* button = dynamic_cast<ui::Button*>(child.get()))
                button->sendActionsForControlEvents(ui::ControlEventTouchUpInside);
            if (shown)
                shown->dismissWithClickedButtonIndex(1);
            shown.reset();
        }
        controller.launchURLForTapLocation({ 40, 40 });
        controller.scrollView->setContentOffset({ 500, 0 });
        controller.scrollViewDidEndDecelerating(controller.scrollView.get());
        controller.preferencesChange2();
        controller.viewDidDisappear();
    }
    sys::RunLoop::main().advance(8);
    weeapp::resetForTests();
    ui::AlertView::setPresenter(nullptr);
    return 0;
}
