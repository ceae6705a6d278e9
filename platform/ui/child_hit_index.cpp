#include "ui/child_hit_index.h"

#include "ui/view.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace ui {

namespace {

// A child's own test goes through its coordinates, rounding on the way: every edge is widened
// by far more than that rounding can move it, so that the index never passes over a child that
// its own test would take.
constexpr float kRelativeSlack = 1e-5f;

float slack(float a, float b)
{
    return kRelativeSlack * (std::fabs(a) + std::fabs(b)) + 1e-6f;
}

}

ChildHitIndex::ChildHitIndex(const std::vector<std::shared_ptr<View>>& children)
{
    m_entries.reserve(children.size());
    for (std::uint32_t position = 0; position < children.size(); ++position) {
        const View& child = *children[position];
        const Rect frame = child.frame();
        const bool finite = std::isfinite(frame.x()) && std::isfinite(frame.y()) && std::isfinite(frame.maxX()) && std::isfinite(frame.maxY());
        const Rect bounds = child.bounds();
        if (!finite || bounds.x() != 0 || bounds.y() != 0 || child.takesHitsOutsideBounds()) {
            m_alwaysAsked.push_back(position);
            continue;
        }
        const float xSlack = slack(frame.x(), frame.width());
        const float ySlack = slack(frame.y(), frame.height());
        m_entries.push_back({ std::min(frame.x(), frame.maxX()) - xSlack, std::max(frame.x(), frame.maxX()) + xSlack,
            std::min(frame.y(), frame.maxY()) - ySlack, std::max(frame.y(), frame.maxY()) + ySlack, position });
    }
    // A strip of tiles comes in order already; a stable sort keeps it as it is at little cost.
    std::stable_sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.left < b.left; });
    m_rightmostSoFar.reserve(m_entries.size());
    float rightmost = -INFINITY;
    for (const Entry& entry : m_entries) {
        rightmost = std::max(rightmost, entry.right);
        m_rightmostSoFar.push_back(rightmost);
    }
}

void ChildHitIndex::candidatesAt(Point point, std::vector<std::uint32_t>& candidates) const
{
    candidates.clear();
    const float xSlack = kRelativeSlack * std::fabs(point.x);
    const float ySlack = kRelativeSlack * std::fabs(point.y);
    // Entries from the last one that starts at or left of the point, back to the first whose
    // whole prefix ends left of it.
    const auto end = std::upper_bound(m_entries.begin(), m_entries.end(), point.x + xSlack,
        [](float x, const Entry& entry) { return x < entry.left; });
    for (auto index = static_cast<std::size_t>(end - m_entries.begin()); index-- > 0;) {
        if (m_rightmostSoFar[index] < point.x - xSlack)
            break;
        const Entry& entry = m_entries[index];
        if (entry.right >= point.x - xSlack && entry.top <= point.y + ySlack && entry.bottom >= point.y - ySlack)
            candidates.push_back(entry.child);
    }
    candidates.insert(candidates.end(), m_alwaysAsked.begin(), m_alwaysAsked.end());
    std::sort(candidates.begin(), candidates.end(), std::greater<>());
}

}
