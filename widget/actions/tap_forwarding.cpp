#include "controller/kavrin_controller.h"

#include <weeapp/ui/views/control.h>
#include <weeapp/ui/views/window.h>

namespace kavrin {

// The host asks which URL a tap should launch; the widget delivers the tap to the control under
// it instead (a tile then runs doStart) and answers none.
weeapp::sys::URLPtr KavrinController::launchURLForTapLocation(weeapp::ui::Point location)
{
    const weeapp::ui::ViewPtr container = view();
    weeapp::ui::Window* window = container->window();
    const weeapp::ui::Point point = window ? window->convertPointFromView(location, container.get()) : weeapp::ui::Point { 0, 0 };
    weeapp::ui::View* hit = window ? window->hitTest(point, nullptr) : nullptr;
    if (auto* control = dynamic_cast<weeapp::ui::Control*>(hit); control && control->respondsToSelector("sendActionsForControlEvents"))
        control->sendActionsForControlEvents(weeapp::ui::ControlEventTouchUpInside);
    return nullptr;
}

}
