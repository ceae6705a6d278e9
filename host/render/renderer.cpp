#include "render/renderer.h"

#include "render/alert_drawing.h"
#include "render/colour_luminance.h"
#include "render/drawing_geometry.h"
#include "render/drawing_traits.h"
#include "render/flip_drawing.h"
#include "render/image_drawing.h"
#include "render/sight_index.h"
#include "render/text_drawing.h"
#include <weeapp/ui/button.h>
#include <weeapp/ui/image_view.h>
#include <weeapp/ui/label.h>
#include <weeapp/ui/page_control.h>
#include <weeapp/ui/scroll_view.h>
#include <weeapp/ui/view_visitor.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kavrin::host {

namespace {

constexpr double kDotDiameter = 7;
constexpr double kDotPitch = 16;
constexpr double kInactiveDotAlpha = 0.3;
constexpr int kSmallestPictureHeight = 20;
constexpr double kAlertMargin = 20;

bool finiteRect(const ui::Rect& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) && std::isfinite(rect.height())
        && std::abs(rect.x()) < 1e6f && std::abs(rect.y()) < 1e6f && rect.width() < 1e6f && rect.height() < 1e6f;
}

// The part of the current user space that the clip leaves to draw in.
DrawingArea visibleArea(cairo_t* cr)
{
    DrawingArea area {};
    cairo_clip_extents(cr, &area.left, &area.top, &area.right, &area.bottom);
    return area;
}

// Whether dark dots stand out more than white ones against what is drawn so far under the
// rectangle (in user space): the mean relative luminance of those pixels, past the point where
// black has the better contrast ratio. White where nothing opaque is there to tell.
bool wantsDarkDots(cairo_t* cr, double left, double top, double right, double bottom)
{
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE)
        return false;
    cairo_surface_flush(target);
    double offsetX = 0, offsetY = 0;
    cairo_surface_get_device_offset(target, &offsetX, &offsetY);
    double x0 = left, y0 = top, x1 = right, y1 = bottom;
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    const int width = cairo_image_surface_get_width(target), height = cairo_image_surface_get_height(target);
    const int fromX = std::clamp(static_cast<int>(std::floor(std::min(x0, x1) + offsetX)), 0, width);
    const int toX = std::clamp(static_cast<int>(std::ceil(std::max(x0, x1) + offsetX)), fromX, width);
    const int fromY = std::clamp(static_cast<int>(std::floor(std::min(y0, y1) + offsetY)), 0, height);
    const int toY = std::clamp(static_cast<int>(std::ceil(std::max(y0, y1) + offsetY)), fromY, height);
    const unsigned char* pixels = cairo_image_surface_get_data(target);
    const int stride = cairo_image_surface_get_stride(target);
    if (!pixels || cairo_image_surface_get_format(target) != CAIRO_FORMAT_ARGB32)
        return false;
    double luminance = 0, coverage = 0;
    long counted = 0;
    for (int y = fromY; y < toY; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = fromX; x < toX; ++x, ++counted) {
            const std::uint32_t pixel = row[x];
            const double alpha = (pixel >> 24) / 255.0;
            if (alpha <= 0)
                continue;
            // Premultiplied: a channel over alpha is the colour itself.
            const double red = ((pixel >> 16) & 0xff) / 255.0 / alpha, green = ((pixel >> 8) & 0xff) / 255.0 / alpha, blue = (pixel & 0xff) / 255.0 / alpha;
            luminance += alpha * relativeLuminance(red, green, blue);
            coverage += alpha;
        }
    }
    // Black and white have the same contrast ratio against a luminance of about 0.179.
    constexpr double kEqualContrast = 0.179;
    return counted > 0 && coverage > 0.5 * static_cast<double>(counted) && luminance / coverage > kEqualContrast;
}

// The page control's dots, white on a dark ground and black on a light one, so that the pages
// show on every backdrop and metro colour.
void drawPageDots(cairo_t* cr, const ui::PageControl& control)
{
    int pages = std::min(control.numberOfPages(), 1000);
    if (pages <= 0)
        return;
    const ui::Rect& frame = control.frame();
    double rowWidth = (pages - 1) * kDotPitch + kDotDiameter;
    double left = (frame.width() - rowWidth) / 2 + kDotDiameter / 2;
    double centerY = frame.height() / 2;
    // Only the dots that reach into the clip: a long list has more of them than any picture.
    double clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
    cairo_clip_extents(cr, &clipLeft, &clipTop, &clipRight, &clipBottom);
    const int first = std::clamp(static_cast<int>(std::floor((clipLeft - left - kDotDiameter) / kDotPitch)), 0, pages);
    const int last = std::clamp(static_cast<int>(std::ceil((clipRight - left + kDotDiameter) / kDotPitch)) + 1, first, pages);
    const double shade = wantsDarkDots(cr, left - kDotDiameter / 2, centerY - kDotDiameter / 2, left + rowWidth - kDotDiameter / 2, centerY + kDotDiameter / 2) ? 0 : 1;
    for (int page = first; page < last; ++page) {
        cairo_arc(cr, left + page * kDotPitch, centerY, kDotDiameter / 2, 0, 2 * kPi);
        cairo_set_source_rgba(cr, shade, shade, shade, page == control.currentPage() ? 1.0 : kInactiveDotAlpha);
        cairo_fill(cr);
    }
}

// A view's own content over its background: its image, its text or its page dots.
class ContentDrawing final : public ui::ViewVisitor {
public:
    static void draw(cairo_t* cr, RenderCache& cache, const ui::View& view)
    {
        ContentDrawing drawing(cr, cache, view);
        view.accept(drawing);
    }

private:
    ContentDrawing(cairo_t* cr, RenderCache& cache, const ui::View& view)
        : m_cr(cr)
        , m_cache(cache)
        , m_box { 0, 0, view.frame().width(), view.frame().height() }
    {
    }

    void visitImageView(const ui::ImageView& imageView) override
    {
        if (imageView.image())
            drawImage(m_cr, m_cache.shownPixels(), *imageView.image(), m_box, ImageFit::Fill);
    }
    void visitButton(const ui::Button& button) override
    {
        if (ui::ImagePtr image = button.currentImage())
            drawImage(m_cr, m_cache.shownPixels(), *image, m_box, ImageFit::Aspect);
    }
    void visitLabel(const ui::Label& label) override { drawLabel(m_cr, m_cache.textLayouts(), label); }
    void visitPageControl(const ui::PageControl& pageControl) override { drawPageDots(m_cr, pageControl); }

    cairo_t* m_cr;
    RenderCache& m_cache;
    ui::Rect m_box;
};

}

Renderer::Renderer(RenderCache& cache, double time, int scale, Backdrop backdrop)
    : m_cache(cache)
    , m_time(time)
    , m_scale(std::clamp(scale, 1, kLargestScale))
    , m_backdrop(std::move(backdrop))
{
    m_cache.startFrame();
}

weeapp::CairoSurface Renderer::renderWindow(const ui::Window& window, const ui::View* content, const ui::AlertView* alert)
{
    int width = std::max(1, static_cast<int>(std::ceil(window.frame().width())));
    double widgetHeight = kSmallestPictureHeight;
    if (content && finiteRect(content->frame()))
        widgetHeight = std::max<double>(widgetHeight, content->frame().maxY() + std::max(0.f, content->frame().y()));

    double height = widgetHeight;
    if (alert) {
        height = std::max(height, alertHeight(measuringContext().get(), m_cache.textLayouts(), *alert) + 2 * kAlertMargin);
    }
    int pictureHeight = static_cast<int>(std::ceil(std::min(height, 4096.0)));

    weeapp::CairoSurface surface = createPicture(width, pictureHeight);
    const weeapp::CairoContext context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    m_backdrop.paint(cr, m_cache.shownPixels(), width, pictureHeight);
    for (const ui::ViewPtr& child : window.subviews())
        drawView(cr, *child);
    if (alert)
        drawAlert(cr, m_cache.textLayouts(), *alert, width, pictureHeight);
    cairo_surface_flush(surface.get());
    return surface;
}

weeapp::CairoSurface Renderer::createPicture(int width, int height) const
{
    weeapp::CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * m_scale, height * m_scale));
    // Everything is drawn in points; Cairo rasterises shapes, glyphs and images at the device's
    // pixels, while Pango lays text out in points as at one to one.
    if (m_scale != 1)
        cairo_surface_set_device_scale(surface.get(), m_scale, m_scale);
    return surface;
}

void Renderer::drawView(cairo_t* cr, const ui::View& view)
{
    const std::optional<DrawingArea> reach = drawingReach(view);
    if (m_drawsEverything || !reach || reach->meets(visibleArea(cr)))
        drawViewInSight(cr, view);
}

void Renderer::drawViewInSight(cairo_t* cr, const ui::View& view)
{
    if (view.isHidden() || !finiteRect(view.frame()))
        return;
    const ui::Presentation presentation = ui::Animations::presentationAt(view, m_time);
    float alpha = std::clamp(presentation.alpha, 0.f, 1.f);
    if (alpha <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, view.frame().x(), view.frame().y());
    if (presentation.flip) {
        drawTransition(cr, view, presentation);
    } else if (alpha < 1) {
        cairo_push_group(cr);
        drawBody(cr, view);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alpha);
    } else {
        drawBody(cr, view);
    }
    cairo_restore(cr);
}

void Renderer::drawTransition(cairo_t* cr, const ui::View& view, const ui::Presentation& presentation)
{
    int width = static_cast<int>(std::ceil(view.frame().width()));
    int height = static_cast<int>(std::ceil(view.frame().height()));
    if (width <= 0 || height <= 0)
        return;
    weeapp::CairoSurface picture = createPicture(width, height);
    drawBody(weeapp::CairoContext(cairo_create(picture.get())).get(), view);
    cairo_surface_flush(picture.get());
    drawFlip(cr, picture.get(), view.frame().width(), view.frame().height(), presentation.flipProgress, std::clamp(presentation.alpha, 0.f, 1.f));
}

void Renderer::drawBody(cairo_t* cr, const ui::View& view)
{
    const double width = view.frame().width(), height = view.frame().height();
    const ui::Layer& layer = view.layer();
    const double radius = std::isfinite(layer.cornerRadius) ? layer.cornerRadius : 0;

    if (const ui::ColorPtr& background = view.backgroundColor(); background && background->alpha() > 0 && width > 0 && height > 0) {
        roundedRectangle(cr, 0, 0, width, height, radius);
        setSourceColor(cr, *background);
        cairo_fill(cr);
    }

    cairo_save(cr);
    if (clipsContent(view)) {
        roundedRectangle(cr, 0, 0, std::max(0.0, width), std::max(0.0, height), radius);
        cairo_clip(cr);
    }
    ContentDrawing::draw(cr, m_cache, view);
    ui::Rect bounds = view.bounds();
    if (finiteRect(bounds))
        cairo_translate(cr, -bounds.x(), -bounds.y());
    if (m_drawsEverything) {
        for (const ui::ViewPtr& child : view.subviews())
            drawViewInSight(cr, *child);
    } else {
        // Only what can reach into the clip is laid out and drawn, so that a frame costs what
        // is in sight, however many views lie beside it.
        std::vector<const ui::View*> inSight;
        m_cache.sightIndex().childrenInSight(view, visibleArea(cr), inSight);
        for (const ui::View* child : inSight)
            drawViewInSight(cr, *child);
    }
    cairo_restore(cr);

    float borderWidth = layer.borderWidth;
    if (std::isfinite(borderWidth) && borderWidth > 0 && layer.borderColor && width > 0 && height > 0) {
        double inset = std::min<double>(borderWidth, std::min(width, height) / 2) / 2;
        roundedRectangle(cr, inset, inset, width - 2 * inset, height - 2 * inset, radius - inset);
        cairo_set_line_width(cr, inset * 2);
        setSourceColor(cr, *layer.borderColor);
        cairo_stroke(cr);
    }
}

}
