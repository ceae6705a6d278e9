#include <weeapp/ui/accessibility/accessibility_reader.h>

#include <weeapp/ui/views/scroll_view.h>

#include <algorithm>
#include <cmath>

namespace weeapp::ui {

namespace {

constexpr float kMinimumReadableAlpha = 0.01f;

bool isShown(const View& view)
{
    return !view.isHidden() && view.alpha() >= kMinimumReadableAlpha && !view.accessibilityElementsHidden();
}

// Where a child stands in its parent's reading order: its page (counted from the page in view),
// then its row, then its column.
struct ReadingKey {
    long long page;
    float y;
    float x;
    auto operator<=>(const ReadingKey&) const = default;
};

// Pages of a paging scroll view: how many, and which one is in view.
struct Paging {
    long long count { 1 };
    long long current { 0 };
    float width { 0 };
};

std::optional<Paging> pagingOf(const View& view)
{
    const auto* scroll = dynamic_cast<const ScrollView*>(&view);
    if (!scroll || !scroll->isPagingEnabled() || !(scroll->frame().width() > 0))
        return std::nullopt;
    Paging paging;
    paging.width = scroll->frame().width();
    constexpr double kMostPages = 1e9;
    const double pages = std::ceil(static_cast<double>(scroll->contentSize().width) / paging.width);
    paging.count = std::isfinite(pages) ? static_cast<long long>(std::clamp(pages, 1.0, kMostPages)) : 1;
    const double current = std::round(static_cast<double>(scroll->contentOffset().x) / paging.width);
    paging.current = std::isfinite(current) ? static_cast<long long>(std::clamp(current, 0.0, static_cast<double>(paging.count - 1))) : 0;
    return paging;
}

ReadingKey readingKey(const View& child, const std::optional<Paging>& paging)
{
    long long page = 0;
    if (paging) {
        const double onPage = std::floor(static_cast<double>(child.frame().x()) / paging->width);
        const long long index = std::isfinite(onPage) ? static_cast<long long>(std::clamp(onPage, 0.0, static_cast<double>(paging->count - 1))) : 0;
        page = (index - paging->current + paging->count) % paging->count;
    }
    // A frame that is not a number sorts as 0, so that the order stays a strict one.
    auto coordinate = [](float value) { return std::isnan(value) ? 0.0f : value; };
    return { page, coordinate(child.frame().y()), coordinate(child.frame().x()) };
}

void collectInReadingOrder(View& view, std::vector<View*>& elements)
{
    if (!isShown(view))
        return;
    if (view.isAccessibilityElement()) {
        elements.push_back(&view);
        return;
    }
    const std::optional<Paging> paging = pagingOf(view);
    std::vector<std::pair<ReadingKey, View*>> children;
    children.reserve(view.subviews().size());
    for (const ViewPtr& child : view.subviews())
        children.emplace_back(readingKey(*child, paging), child.get());
    std::stable_sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [key, child] : children)
        collectInReadingOrder(*child, elements);
}

bool clipsItsContent(const View& view)
{
    return view.layer().masksToBounds || dynamic_cast<const ScrollView*>(&view);
}

View* elementAtPoint(View& view, Point point)
{
    if (!isShown(view))
        return nullptr;
    if (view.isAccessibilityElement())
        return view.accessibilityFrame().contains(point) ? &view : nullptr;
    if (clipsItsContent(view)) {
        const Point origin = view.convertPointToView({ view.bounds().x(), view.bounds().y() }, nullptr);
        if (!Rect(origin.x, origin.y, view.frame().width(), view.frame().height()).contains(point))
            return nullptr;
    }
    const auto& subviews = view.subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        if (View* found = elementAtPoint(**it, point))
            return found;
    }
    return nullptr;
}

}

bool isReachableAccessibilityElement(const View& view)
{
    if (!view.isAccessibilityElement() || !isShown(view))
        return false;
    for (const View* ancestor = view.superview(); ancestor; ancestor = ancestor->superview()) {
        if (!isShown(*ancestor) || ancestor->isAccessibilityElement())
            return false;
    }
    return true;
}

std::vector<View*> accessibilityElementsInReadingOrder(View& root)
{
    std::vector<View*> elements;
    collectInReadingOrder(root, elements);
    return elements;
}

View* accessibilityElementAtPoint(View& root, Point point)
{
    return elementAtPoint(root, point);
}

AccessibilityDescription describeAccessibilityElement(const View& view)
{
    return { view.accessibilityLabel(), view.accessibilityHint(), view.accessibilityTraits(), view.accessibilityValue() };
}

std::vector<std::string> accessibilityTraitNames(AccessibilityTraits traits)
{
    static constexpr std::pair<AccessibilityTraits, const char*> kNames[] = {
        { AccessibilityTraitButton, "button" },
        { AccessibilityTraitImage, "image" },
        { AccessibilityTraitStaticText, "staticText" },
        { AccessibilityTraitAdjustable, "adjustable" },
    };
    std::vector<std::string> names;
    for (const auto& [trait, name] : kNames) {
        if (traits & trait)
            names.emplace_back(name);
    }
    return names;
}

}
