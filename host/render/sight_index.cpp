#include "render/sight_index.h"

#include "render/drawing_traits.h"
#include "render/text_drawing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavrin::host {

namespace {

// Fewer children than this are looked at one by one.
constexpr std::size_t kIndexedChildren = 64;

}

std::optional<DrawingArea> drawingReach(const weeapp::ui::View& view)
{
    const weeapp::ui::Rect& frame = view.frame();
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

void SightIndex::childrenInSight(const weeapp::ui::View& parent, const DrawingArea& visible, std::vector<const weeapp::ui::View*>& found)
{
    found.clear();
    const std::vector<weeapp::ui::ViewPtr>& subviews = parent.subviews();
    if (subviews.size() < kIndexedChildren) {
        for (const weeapp::ui::ViewPtr& child : subviews) {
            const std::optional<DrawingArea> reach = drawingReach(*child);
            if (!reach || reach->meets(visible))
                found.push_back(child.get());
        }
        return;
    }
    childrenOf(parent).itemsMeeting(visible, m_orders);
    for (std::size_t order : m_orders)
        found.push_back(subviews[order].get());
}

const weeapp::ui::AreaIndex& SightIndex::childrenOf(const weeapp::ui::View& parent)
{
    if (m_revision != weeapp::ui::View::geometryRevision()) {
        m_children.clear();
        m_revision = weeapp::ui::View::geometryRevision();
    }
    auto [known, added] = m_children.try_emplace(&parent);
    if (added) {
        std::vector<std::optional<DrawingArea>> reaches;
        reaches.reserve(parent.subviews().size());
        for (const weeapp::ui::ViewPtr& child : parent.subviews())
            reaches.push_back(drawingReach(*child));
        known->second = weeapp::ui::AreaIndex(reaches);
    }
    return known->second;
}

}
