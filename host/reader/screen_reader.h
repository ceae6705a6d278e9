#pragma once

#include "session/host_session.h"
#include <weeapp/ui/accessibility/accessibility_reader.h>
#include <weeapp/ui/views/scroll_view.h>

#include <memory>
#include <optional>
#include <vector>

namespace kavrin::host {

// What a screen reader finds on the host's screen: the widget's elements and, while an alert is
// up, the alert's buttons.
class ScreenReader {
public:
    explicit ScreenReader(HostSession& session)
        : m_session(session) { }

    // The element under a point in the content view's coordinates; nothing over empty space or
    // while an alert covers the widget.
    std::optional<weeapp::ui::AccessibilityDescription> describeAt(weeapp::ui::Point);

    // What a pointer over a picture of the window (of that size, in points) rests on: while an
    // alert is up, the alert's button there; otherwise the widget's element there.
    struct Hovered {
        std::weak_ptr<const void> owner; // the element, or the alert the button is on
        int alertButton { -1 };
        weeapp::ui::AccessibilityDescription description;
        bool isSame(const Hovered&) const;
    };
    std::optional<Hovered> hoveredAt(weeapp::ui::Point inWindow, double pictureWidth, double pictureHeight);
    // Everything a reader steps through, in order: the widget's elements (the page in view
    // first), then the buttons of the alert on top as they are drawn, top to bottom and left to
    // right.
    std::vector<weeapp::ui::AccessibilityDescription> readingOrder();
    // The page gesture on the widget's scroll view; false when there is none on screen. At the
    // first or last page nothing moves.
    bool swipe(weeapp::ui::AccessibilityScrollDirection);

private:
    const weeapp::ui::View* elementInWindow(weeapp::ui::Point inWindow) const;

    HostSession& m_session;
};

}
