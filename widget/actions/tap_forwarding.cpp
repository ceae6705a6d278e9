#include "controller/kavrin_controller.h"

#include <weeapp/ui/control.h>
#include <weeapp/ui/window.h>

namespace kavrin {

// The host asks which URL a tap should launch; the widget delivers the tap to the control under
// it instead (a tile then runs doStart) and answers none.
sys::URLPtr KavrinController::launchURLForTapLocation(ui::Point location)
{
    const ui::ViewPtr container = view();
    ui::Window* window = container->window();
    const ui::Point point = window ? window->convertPointFromView(location, container.get()) : ui::Point { 0, 0 };
    ui::View* hit = window ? window->hitTest(point, nullptr) : nullptr;
    if (auto* control = dynamic_cast<ui::Control*>(hit); control && control->respondsToSelector("sendActionsForControlEvents"))
        control->sendActionsForControlEvents(ui::ControlEventTouchUpInside);
    return nullptr;
}

}
