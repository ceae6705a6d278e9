#include <weeapp/ui/views/control.h>

#include <algorithm>

namespace weeapp::ui {

void Control::sendActionsForControlEvents(std::uint32_t events)
{
    // An action may remove the control or add targets; work on a copy and keep the sender alive.
    ViewPtr keep = weak_from_this().lock();
    std::erase_if(m_targets, [](const TargetAction& entry) { return !entry.target; });
    const std::vector<TargetAction> targets = m_targets;
    for (const auto& entry : targets) {
        if (!(entry.events & events) || !entry.target)
            continue;
        entry.action(this);
    }
}

bool Control::respondsToSelector(std::string_view selector) const
{
    return selector == "sendActionsForControlEvents:" || selector == "sendActionsForControlEvents"
        || selector == "addTarget:action:forControlEvents:" || selector == "addTarget"
        || View::respondsToSelector(selector);
}

}
