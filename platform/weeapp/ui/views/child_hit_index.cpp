#include <weeapp/ui/views/child_hit_index.h>

#include <weeapp/ui/views/view.h>

#include <algorithm>
#include <cmath>

namespace weeapp::ui {

namespace {

// A child's own test goes through its coordinates, rounding on the way: every edge is widened
// by far more than that rounding can move it, so that the index never passes over a child that
// its own test would take.
constexpr double kRelativeSlack = 1e-5;

double slack(double a, double b)
{
    return kRelativeSlack * (std::fabs(a) + std::fabs(b)) + 1e-6;
}

// A child's frame, widened; nothing for a child whose area the frame does not bound.
std::optional<Area> hitArea(const View& child)
{
    const Rect frame = child.frame();
    const bool finite = std::isfinite(frame.x()) && std::isfinite(frame.y()) && std::isfinite(frame.maxX()) && std::isfinite(frame.maxY());
    const Rect bounds = child.bounds();
    if (!finite || bounds.x() != 0 || bounds.y() != 0 || child.takesHitsOutsideBounds())
        return std::nullopt;
    const double xSlack = slack(frame.x(), frame.width());
    const double ySlack = slack(frame.y(), frame.height());
    return Area { std::min(frame.x(), frame.maxX()) - xSlack, std::min(frame.y(), frame.maxY()) - ySlack,
        std::max(frame.x(), frame.maxX()) + xSlack, std::max(frame.y(), frame.maxY()) + ySlack };
}

std::vector<std::optional<Area>> hitAreas(const std::vector<std::shared_ptr<View>>& children)
{
    std::vector<std::optional<Area>> areas;
    areas.reserve(children.size());
    for (const auto& child : children)
        areas.push_back(hitArea(*child));
    return areas;
}

}

ChildHitIndex::ChildHitIndex(const std::vector<std::shared_ptr<View>>& children)
    : m_frames(hitAreas(children))
{
}

void ChildHitIndex::candidatesAt(Point point, std::vector<std::size_t>& candidates) const
{
    const double xSlack = kRelativeSlack * std::fabs(point.x);
    const double ySlack = kRelativeSlack * std::fabs(point.y);
    m_frames.itemsMeeting({ point.x - xSlack, point.y - ySlack, point.x + xSlack, point.y + ySlack }, candidates);
    std::reverse(candidates.begin(), candidates.end());
}

}
