#pragma once

#include <weeapp/c_handles.h>

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

namespace kavrin::host {

class TextLayouts;

// Pictures side by side in rows, each at one pixel a point with its caption under it, on the
// notification centre's dark grey.
class ContactSheet {
public:
    explicit ContactSheet(int columns);

    // Keeps a copy of the picture, drawn at a pixel a point (a picture at scale 2 comes in at half
    // its pixels).
    void add(cairo_surface_t* picture, int scale, std::string caption);
    std::size_t size() const { return m_cells.size(); }

    // The sheet; the caller destroys it. An empty sheet is one margin square.
    weeapp::CairoSurface draw(TextLayouts&) const;

private:
    struct Cell {
        weeapp::CairoSurface picture;
        std::string caption;
    };

    int m_columns;
    std::vector<Cell> m_cells;
};

}
