#pragma once

#include <weeapp/ui/views/view.h>

#include <optional>
#include <string>
#include <vector>

namespace weeapp::ui {

// What a screen reader finds in a view tree. It reaches a view that is an accessibility element
// unless the view or one of its ancestors is hidden, nearly transparent (alpha below 0.01) or
// hides its elements, or an ancestor is itself an element (an element speaks for what it holds).
bool isReachableAccessibilityElement(const View&);

// The reachable elements under root in the order a reader steps through them: each view's
// children top to bottom, and left to right within a row; in a paging scroll view page by page,
// starting with the page in view, then the pages after it, then those before it.
std::vector<View*> accessibilityElementsInReadingOrder(View& root);

// The element under root whose accessibility frame holds the point, both in the window's
// coordinates (those of the tree's top), the topmost when several do; what a scroll view or a
// clipping view cuts off is not found.
View* accessibilityElementAtPoint(View& root, Point);

// What an element says, each text asked for once.
struct AccessibilityDescription {
    std::optional<std::string> label;
    std::optional<std::string> hint;
    AccessibilityTraits traits { AccessibilityTraitNone };
    std::optional<std::string> value;
};
AccessibilityDescription describeAccessibilityElement(const View&);

// The traits' names in bit order: "button", "image", "staticText", "adjustable".
std::vector<std::string> accessibilityTraitNames(AccessibilityTraits);

}
