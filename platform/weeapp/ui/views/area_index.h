#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace weeapp::ui {

// An area in a view's coordinates.
struct Area {
    double left, top, right, bottom;

    // Whether the two overlap by more than an edge.
    bool meets(const Area& other) const { return left < other.right && right > other.left && top < other.bottom && bottom > other.top; }
};

// The areas of a list's items, sorted by left edge, so that the items whose area meets a box are
// found by two binary searches and a walk of those between, not of every item. An item whose
// area is not known is found by every box.
class AreaIndex {
public:
    AreaIndex() = default;
    // One area, or nothing, for each item, in the items' order.
    explicit AreaIndex(const std::vector<std::optional<Area>>& areas);

    // The items whose area meets the box or is not known, in the items' order.
    void itemsMeeting(const Area& box, std::vector<std::size_t>& items) const;

private:
    struct Entry {
        Area area;
        std::size_t item;
    };
    std::vector<Entry> m_byLeft;
    std::vector<double> m_rightmostSoFar; // the largest right edge of m_byLeft up to each
    std::vector<std::size_t> m_unknown;
};

}
