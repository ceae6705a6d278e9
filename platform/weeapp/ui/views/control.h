#pragma once

#include <weeapp/sys/weak_ref.h>
#include <weeapp/ui/views/view.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace weeapp::ui {

enum ControlEvents : std::uint32_t {
    ControlEventTouchDown = 1u << 0,
    ControlEventTouchUpInside = 1u << 6, // 64
    ControlEventValueChanged = 1u << 12,
};

// Target-action: a control holds its targets without owning them; an action whose target has
// been destroyed is skipped.
class Control : public View {
public:
    std::string_view className() const override { return "Control"; }

    // addTarget:action:forControlEvents: the action gets the control as sender.
    template<typename Target>
    void addTarget(Target* target, void (Target::*action)(Control* sender), std::uint32_t events)
    {
        m_targets.push_back({ target, [target, action](Control* sender) { (target->*action)(sender); }, events });
    }
    void sendActionsForControlEvents(std::uint32_t events);
    std::size_t targetCount() const { return m_targets.size(); }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    bool respondsToSelector(std::string_view selector) const override;

protected:
    explicit Control(Rect frame)
        : View(frame) { }

private:
    struct TargetAction {
        sys::WeakRef<sys::Object> target;
        std::function<void(Control*)> action; // sent only while the target lives
        std::uint32_t events;
    };
    std::vector<TargetAction> m_targets;
    bool m_enabled { true };
};

}
