#include <weeapp/ui/views/area_index.h>

#include <algorithm>
#include <limits>

namespace weeapp::ui {

AreaIndex::AreaIndex(const std::vector<std::optional<Area>>& areas)
{
    m_byLeft.reserve(areas.size());
    for (std::size_t item = 0; item < areas.size(); ++item) {
        if (areas[item])
            m_byLeft.push_back({ *areas[item], item });
        else
            m_unknown.push_back(item);
    }
    // A strip of tiles comes in order already; a stable sort keeps it as it is at little cost.
    std::stable_sort(m_byLeft.begin(), m_byLeft.end(), [](const Entry& a, const Entry& b) { return a.area.left < b.area.left; });
    m_rightmostSoFar.reserve(m_byLeft.size());
    double rightmost = -std::numeric_limits<double>::infinity();
    for (const Entry& entry : m_byLeft) {
        rightmost = std::max(rightmost, entry.area.right);
        m_rightmostSoFar.push_back(rightmost);
    }
}

void AreaIndex::itemsMeeting(const Area& box, std::vector<std::size_t>& items) const
{
    // Those that begin left of the box's right edge and, from the first whose right edge passes
    // the box's left one, meet it.
    const auto end = std::partition_point(m_byLeft.begin(), m_byLeft.end(), [&](const Entry& entry) { return entry.area.left < box.right; });
    const auto begin = m_byLeft.begin()
        + (std::partition_point(m_rightmostSoFar.begin(), m_rightmostSoFar.end(), [&](double right) { return right <= box.left; })
            - m_rightmostSoFar.begin());
    items.assign(m_unknown.begin(), m_unknown.end());
    for (auto entry = begin; entry < end; ++entry) {
        if (entry->area.meets(box))
            items.push_back(entry->item);
    }
    std::sort(items.begin(), items.end());
}

}
