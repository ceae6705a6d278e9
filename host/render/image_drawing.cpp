#include "render/image_drawing.h"

#include "render/shown_pixels.h"
#include <weeapp/c_handles.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace kavrin::host {

namespace {

// The image's pixels as a surface; Cairo only reads them.
weeapp::CairoSurface surfaceOf(const ui::Bitmap& bitmap)
{
    auto* data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(bitmap.pixels.data()));
    return weeapp::CairoSurface(cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, bitmap.width, bitmap.height, bitmap.width * 4));
}

bool drawable(const ui::Bitmap& bitmap)
{
    return bitmap.width > 0 && bitmap.height > 0
        && bitmap.pixels.size() >= static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height);
}

// Paints the source rectangle of the surface into the destination rectangle.
void paintPart(cairo_t* cr, cairo_surface_t* surface, double sx, double sy, double sw, double sh, double dx, double dy, double dw, double dh)
{
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    weeapp::CairoSurface part(cairo_surface_create_for_rectangle(surface, sx, sy, sw, sh));
    cairo_save(cr);
    cairo_rectangle(cr, dx, dy, dw, dh);
    cairo_clip(cr);
    cairo_translate(cr, dx, dy);
    cairo_scale(cr, dw / sw, dh / sh);
    cairo_set_source_surface(cr, part.get(), 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
}

// Three spans along one axis: cap, middle, cap. Caps larger than the destination shrink
// together so that they meet.
void spans(double source, double before, double after, double destination, double (&sourceEdges)[4], double (&destinationEdges)[4])
{
    before = std::clamp(before, 0.0, source);
    after = std::clamp(after, 0.0, source - before);
    double scale = before + after > destination && before + after > 0 ? destination / (before + after) : 1.0;
    sourceEdges[0] = 0;
    sourceEdges[1] = before;
    sourceEdges[2] = source - after;
    sourceEdges[3] = source;
    destinationEdges[0] = 0;
    destinationEdges[1] = before * scale;
    destinationEdges[2] = destination - after * scale;
    destinationEdges[3] = destination;
}

}

void drawImage(cairo_t* cr, ShownPixels& shown, const ui::Image& image, ui::Rect rect, ImageFit fit)
{
    const std::shared_ptr<const ui::Bitmap> pixels = shown.pixelsOf(image);
    const ui::Bitmap& bitmap = *pixels;
    if (!drawable(bitmap) || !(rect.width() > 0) || !(rect.height() > 0))
        return;
    weeapp::CairoSurface surface = surfaceOf(bitmap);
    double width = bitmap.width, height = bitmap.height;

    if (image.isResizable()) {
        const ui::EdgeInsets& caps = image.capInsets();
        double sx[4], sy[4], dx[4], dy[4];
        spans(width, caps.left, caps.right, rect.width(), sx, dx);
        spans(height, caps.top, caps.bottom, rect.height(), sy, dy);
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                paintPart(cr, surface.get(), sx[column], sy[row], sx[column + 1] - sx[column], sy[row + 1] - sy[row],
                    rect.x() + dx[column], rect.y() + dy[row], dx[column + 1] - dx[column], dy[row + 1] - dy[row]);
    } else if (fit == ImageFit::Fill) {
        paintPart(cr, surface.get(), 0, 0, width, height, rect.x(), rect.y(), rect.width(), rect.height());
    } else {
        double scale = std::min(rect.width() / width, rect.height() / height);
        double w = width * scale, h = height * scale;
        paintPart(cr, surface.get(), 0, 0, width, height, rect.x() + (rect.width() - w) / 2, rect.y() + (rect.height() - h) / 2, w, h);
    }
}

}
