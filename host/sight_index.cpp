#include "sight_index.h"

#include "drawing_traits.h"
#include "text_drawing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavrin::host {

namespace {

// Fewer children than this are looked at one by one.
constexpr std::size_t kIndexedChildren = 64;

}

std::optional<DrawingArea> drawingReach(const ui::View& view)
{
    const ui::Rect& frame = view.frame();
    const double width = frame.width(), height = frame.height();
    if (!std::isfinite(frame.x()) || !std::isfinite(frame.y()) || !std::isfinite(width) || !std::isfinite(height) || !(width > 0) || !(height > 0))
        return std::nullopt;
    const DrawingTraits traits(view);
    const bool childless = view.subviews().empty();
    double across = std::max(width, height) / 8 + 1;
    double along = across;
    if (traits.label() && childless) {
        across += textReachPastFrame(*traits.label());
        along = std::numeric_limits<double>::infinity();
    } else if (!view.layer().masksToBounds && !traits.alwaysClips() && (!childless || traits.contentMayLeaveFrame())) {
        return std::nullopt;
    }
    return DrawingArea { frame.x() - across, frame.y() - along, frame.x() + width + across, frame.y() + height + along };
}

SightIndex& SightIndex::shared()
{
    static SightIndex* index = new SightIndex;
    return *index;
}

void SightIndex::childrenInSight(const ui::View& parent, const DrawingArea& visible, std::vector<const ui::View*>& found)
{
    found.clear();
    const std::vector<ui::ViewPtr>& subviews = parent.subviews();
    if (subviews.size() < kIndexedChildren) {
        for (const ui::ViewPtr& child : subviews) {
            const std::optional<DrawingArea> reach = drawingReach(*child);
            if (!reach || reach->meets(visible))
                found.push_back(child.get());
        }
        return;
    }
    const Children& children = childrenOf(parent);
    // Those that begin left of the area's right edge and, after the first whose right edge
    // passes the area's left one, meet it.
    const auto end = std::partition_point(children.byLeft.begin(), children.byLeft.end(),
        [&](const Reach& reach) { return reach.area.left < visible.right; });
    const auto begin = children.byLeft.begin()
        + (std::partition_point(children.rightmostSoFar.begin(), children.rightmostSoFar.end(), [&](double right) { return right <= visible.left; })
            - children.rightmostSoFar.begin());
    m_orders.assign(children.unknown.begin(), children.unknown.end());
    for (auto reach = begin; reach < end; ++reach) {
        if (reach->area.meets(visible))
            m_orders.push_back(reach->order);
    }
    std::sort(m_orders.begin(), m_orders.end());
    for (std::size_t order : m_orders)
        found.push_back(subviews[order].get());
}

const SightIndex::Children& SightIndex::childrenOf(const ui::View& parent)
{
    if (m_revision != ui::View::geometryRevision()) {
        m_children.clear();
        m_revision = ui::View::geometryRevision();
    }
    auto [known, added] = m_children.try_emplace(&parent);
    Children& children = known->second;
    if (!added)
        return children;
    const std::vector<ui::ViewPtr>& subviews = parent.subviews();
    for (std::size_t order = 0; order < subviews.size(); ++order) {
        const std::optional<DrawingArea> reach = drawingReach(*subviews[order]);
        if (reach)
            children.byLeft.push_back({ *reach, order });
        else
            children.unknown.push_back(order);
    }
    std::sort(children.byLeft.begin(), children.byLeft.end(), [](const Reach& a, const Reach& b) { return a.area.left < b.area.left; });
    double rightmost = -std::numeric_limits<double>::infinity();
    for (const Reach& reach : children.byLeft) {
        rightmost = std::max(rightmost, reach.area.right);
        children.rightmostSoFar.push_back(rightmost);
    }
    return children;
}

}
