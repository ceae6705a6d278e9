#pragma once

#include <weeapp/ui/views/area_index.h>
#include <weeapp/ui/views/view.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kavrin::host {

// A part of a view's bounds, in points.
using DrawingArea = weeapp::ui::Area;

// Where the view, with its subtree, may draw, in its superview's bounds; nothing when that
// cannot be told without drawing: a view that does not clip and lets children out of its
// frame, page dots, a frame without width or height. Otherwise everything it draws lies within
// its frame, grown by how far a label's text may reach sideways (and without bound above and
// below) and by how far a flip turning the view may reach past it (an eighth of its larger
// side: the near edge grows by a quarter in perspective).
std::optional<DrawingArea> drawingReach(const weeapp::ui::View&);

// The children of a view that may draw into an area, found without looking at the others: for
// a view with many children, their reaches sorted by left edge, worked out once and kept while
// no view's geometry changes (weeapp::ui::View::geometryRevision). Main thread only.
class SightIndex {
public:
    SightIndex() = default;

    // The children of the view whose reach meets the area or is not known, in drawing order.
    void childrenInSight(const weeapp::ui::View& parent, const DrawingArea& visible, std::vector<const weeapp::ui::View*>& found);

    SightIndex(const SightIndex&) = delete;
    SightIndex& operator=(const SightIndex&) = delete;

private:
    const weeapp::ui::AreaIndex& childrenOf(const weeapp::ui::View& parent);

    std::unordered_map<const weeapp::ui::View*, weeapp::ui::AreaIndex> m_children;
    std::uint64_t m_revision { 0 };
    std::vector<std::size_t> m_orders;
};

}
