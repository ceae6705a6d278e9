#pragma once

#include <weeapp/ui/geometry.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace weeapp::ui {

// UIAccessibilityTraits: what an element is, as a bit set.
using AccessibilityTraits = std::uint64_t;
enum : AccessibilityTraits {
    AccessibilityTraitNone = 0,
    AccessibilityTraitButton = 1u << 0,
    AccessibilityTraitImage = 1u << 2,
    AccessibilityTraitStaticText = 1u << 6,
    AccessibilityTraitAdjustable = 1u << 12,
};

// A text an element reads, either fixed or worked out each time it is asked for.
using AccessibilityTextProvider = std::function<std::optional<std::string>()>;

// What a view says about itself beyond its class's defaults; a view without any keeps none.
struct AccessibilityAttributes {
    std::optional<bool> isElement;
    std::optional<std::string> label;
    AccessibilityTextProvider labelProvider;
    std::optional<std::string> hint;
    AccessibilityTextProvider hintProvider;
    std::optional<std::string> value;
    AccessibilityTextProvider valueProvider;
    std::optional<AccessibilityTraits> traits;
    bool elementsHidden { false };
    std::optional<Rect> frameInContainerSpace;
};

}
