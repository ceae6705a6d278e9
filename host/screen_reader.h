#pragma once

#include "host_session.h"
#include "ui/accessibility_reader.h"
#include "ui/scroll_view.h"

#include <optional>
#include <vector>

namespace kavrin::host {

// What a screen reader finds on the host's screen: the widget's elements and, while an alert is
// up, the alert's buttons.
class ScreenReader {
public:
    explicit ScreenReader(HostSession& session) : m_session(session) { }

    // The element under a point in the content view's coordinates; nothing over empty space or
    // while an alert covers the widget.
    std::optional<ui::AccessibilityDescription> describeAt(ui::Point);
    // Everything a reader steps through, in order: the widget's elements (the page in view
    // first), then the buttons of the alert on top as they are drawn, top to bottom and left to
    // right.
    std::vector<ui::AccessibilityDescription> readingOrder();
    // The page gesture on the widget's scroll view; false when there is none on screen. At the
    // first or last page nothing moves.
    bool swipe(ui::AccessibilityScrollDirection);

private:
    HostSession& m_session;
};

}
