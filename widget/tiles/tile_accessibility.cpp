#include "controller/kavrin_controller.h"

namespace kavrin {

weeapp::ui::AccessibilityTextProvider KavrinController::accessibilityTextWhileAlive(std::optional<std::string> (KavrinController::*text)())
{
    // The host may keep the views after the controller is gone; they then say nothing.
    return [alive = lifetime(), this, text]() -> std::optional<std::string> {
        if (alive.expired())
            return std::nullopt;
        return (this->*text)();
    };
}

// A tile is one element for its photo, badge and name: it reads the contact's name (and the
// badge's label when there is one) and says what a tap does; the texts inside it stay silent.
void KavrinController::describeTile(weeapp::ui::Button& button, std::string label, const std::vector<weeapp::ui::View*>& silentParts, std::optional<weeapp::ui::Rect> area)
{
    button.setAccessibilityLabel(std::move(label));
    button.setAccessibilityHintProvider(accessibilityTextWhileAlive(&KavrinController::tileAccessibilityHint));
    button.setAccessibilityFrameInContainerSpace(area);
    for (weeapp::ui::View* part : silentParts)
        part->setIsAccessibilityElement(false);
}

}
