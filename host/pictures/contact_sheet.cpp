#include "pictures/contact_sheet.h"

#include "render/drawing_geometry.h"
#include "render/text_drawing.h"

#include <algorithm>
#include <cmath>

namespace kavrin::host {

namespace {

constexpr int kMargin = 16;
constexpr int kCaptionGap = 6;

TextStyle captionStyle()
{
    TextStyle style;
    style.font = ui::Font { "Helvetica", 12 };
    style.color = ui::Color::colorWithRedGreenBlueAlpha(0.91f, 0.92f, 0.93f, 1);
    style.alignment = ui::TextAlignmentCenter;
    style.lines = 2;
    return style;
}

int pictureWidth(const weeapp::CairoSurface& picture) { return cairo_image_surface_get_width(picture.get()); }
int pictureHeight(const weeapp::CairoSurface& picture) { return cairo_image_surface_get_height(picture.get()); }

}

ContactSheet::ContactSheet(int columns)
    : m_columns(std::max(1, columns))
{
}

void ContactSheet::add(cairo_surface_t* picture, int scale, std::string caption)
{
    scale = std::max(1, scale);
    int width = static_cast<int>(std::ceil(cairo_image_surface_get_width(picture) / static_cast<double>(scale)));
    int height = static_cast<int>(std::ceil(cairo_image_surface_get_height(picture) / static_cast<double>(scale)));
    weeapp::CairoSurface cell(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    {
        const weeapp::CairoContext cr(cairo_create(cell.get()));
        // A picture drawn at device pixels may still carry its device scale.
        double deviceX = 1;
        double deviceY = 1;
        cairo_surface_get_device_scale(picture, &deviceX, &deviceY);
        cairo_scale(cr.get(), deviceX / scale, deviceY / scale);
        cairo_set_source_surface(cr.get(), picture, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_GOOD);
        cairo_paint(cr.get());
    }
    m_cells.push_back({ std::move(cell), std::move(caption) });
}

weeapp::CairoSurface ContactSheet::draw(TextLayouts& layouts) const
{
    int cellWidth = 0;
    for (const Cell& cell : m_cells)
        cellWidth = std::max(cellWidth, pictureWidth(cell.picture));

    // The height of every row: its tallest picture and its tallest caption.
    const weeapp::CairoContext measure = measuringContext();
    const TextStyle style = captionStyle();
    std::vector<int> pictureRows;
    std::vector<int> captionRows;
    for (std::size_t first = 0; first < m_cells.size(); first += static_cast<std::size_t>(m_columns)) {
        int pictures = 0;
        double captions = 0;
        for (std::size_t i = first; i < std::min(m_cells.size(), first + static_cast<std::size_t>(m_columns)); ++i) {
            pictures = std::max(pictures, pictureHeight(m_cells[i].picture));
            captions = std::max(captions, textHeight(measure.get(), layouts, m_cells[i].caption, style, cellWidth));
        }
        pictureRows.push_back(pictures);
        captionRows.push_back(static_cast<int>(std::ceil(captions)));
    }

    int columns = std::min(m_columns, static_cast<int>(m_cells.size()));
    int width = kMargin + columns * (cellWidth + kMargin);
    int height = kMargin;
    for (std::size_t row = 0; row < pictureRows.size(); ++row)
        height += pictureRows[row] + kCaptionGap + captionRows[row] + kMargin;
    width = std::max(width, kMargin);

    weeapp::CairoSurface sheet(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const weeapp::CairoContext context(cairo_create(sheet.get()));
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 0x20 / 255.0, 0x21 / 255.0, 0x24 / 255.0);
    cairo_paint(cr);
    int top = kMargin;
    for (std::size_t row = 0; row < pictureRows.size(); ++row) {
        for (int column = 0; column < m_columns; ++column) {
            std::size_t index = row * static_cast<std::size_t>(m_columns) + static_cast<std::size_t>(column);
            if (index >= m_cells.size())
                break;
            const Cell& cell = m_cells[index];
            int left = kMargin + column * (cellWidth + kMargin);
            int pictureLeft = left + (cellWidth - pictureWidth(cell.picture)) / 2;
            cairo_set_source_surface(cr, cell.picture.get(), pictureLeft, top);
            cairo_paint(cr);
            ui::Rect box(static_cast<float>(left), static_cast<float>(top + pictureRows[row] + kCaptionGap), static_cast<float>(cellWidth),
                static_cast<float>(captionRows[row]));
            drawText(cr, layouts, cell.caption, style, box);
        }
        top += pictureRows[row] + kCaptionGap + captionRows[row] + kMargin;
    }
    return sheet;
}

}
