#pragma once

#include <weeapp/ui/geometry.h>
#include <weeapp/ui/views/area_index.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace weeapp::ui {

class View;

// The children of a view with many, their frames in an area index, so that a hit test asks only
// the children that can be under the point instead of every one. It only narrows
// the search: each child it names is asked as before, and a child whose area it cannot bound (a
// moved bounds origin, a frame that is not finite, a hit area wider than its bounds) is named
// wherever the point is. The view that keeps one drops it when its children or one of their
// frames or bounds origins change.
class ChildHitIndex {
public:
    // Worth making from this many children on; a view with fewer asks each in turn.
    static constexpr std::size_t kMinimumChildren = 32;

    explicit ChildHitIndex(const std::vector<std::shared_ptr<View>>& children);

    // The positions, among the children, of those that may take a hit at the point (in the
    // parent's coordinates), the topmost first.
    void candidatesAt(Point, std::vector<std::size_t>& candidates) const;

private:
    AreaIndex m_frames;
};

}
