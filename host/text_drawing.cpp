#include "text_drawing.h"

#include "drawing_geometry.h"
#include "ui/text_layout.h"

#include <pango/pangocairo.h>

#include <string>
#include <unordered_map>
#include <utility>

namespace kavrin::host {

namespace {

// Frames draw the same few texts again and again; past this many the layouts start over
// rather than grow without end.
constexpr std::size_t kMaximumRememberedLayouts = 256;

// Room around a text's ink extents for where the rasteriser may still touch a pixel.
constexpr int kInkMargin = 4;

struct LaidOutText {
    PangoLayout* layout { nullptr };
    guint contextSerial { 0 };
    PangoRectangle ink { };
    int height { 0 };
};

// One Pango context for all the drawing, made as a context for a Cairo context is, and the
// layouts of the texts drawn lately, each laid out once in its style and width. Main thread
// only. Never destroyed: Pango and fontconfig must not be torn down in static destruction order.
class TextLayouts {
public:
    static TextLayouts& shared()
    {
        static TextLayouts* layouts = new TextLayouts;
        return *layouts;
    }

    // The text laid out as it is drawn into the Cairo context.
    const LaidOutText& layout(cairo_t* cr, std::string_view text, const TextStyle& style, float width)
    {
        updateContext(cr);
        std::string key = keyFor(text, style, width);
        auto found = m_layouts.find(key);
        if (found == m_layouts.end()) {
            if (m_layouts.size() >= kMaximumRememberedLayouts)
                forgetAll();
            found = m_layouts.emplace(std::move(key), LaidOutText { createLayout(text, style, width) }).first;
            measure(found->second);
        } else if (found->second.contextSerial != pango_context_get_serial(m_context)) {
            pango_layout_context_changed(found->second.layout);
            measure(found->second);
        }
        return found->second;
    }

    TextLayouts(const TextLayouts&) = delete;
    TextLayouts& operator=(const TextLayouts&) = delete;

private:
    TextLayouts()
        : m_context(pango_font_map_create_context(pango_cairo_font_map_get_default()))
        , m_surfaceOptions(cairo_font_options_create())
        , m_targetOptions(cairo_font_options_create())
    {
        ui::configurePangoContext(m_context);
    }

    // What of a Cairo context the Pango context takes in, beside the target's font options:
    // the transformation without its translation and whether the target rounds glyph positions.
    struct Target {
        double xx { 0 }, yx { 0 }, xy { 0 }, yy { 0 };
        bool roundsGlyphPositions { false };
        bool operator==(const Target&) const = default;
    };

    static Target targetOf(cairo_t* cr)
    {
        cairo_matrix_t matrix;
        cairo_get_matrix(cr, &matrix);
        cairo_surface_type_t type = cairo_surface_get_type(cairo_get_target(cr));
        bool rounds = type == CAIRO_SURFACE_TYPE_IMAGE || type == CAIRO_SURFACE_TYPE_XLIB || type == CAIRO_SURFACE_TYPE_XCB
            || type == CAIRO_SURFACE_TYPE_WIN32;
        return { matrix.xx, matrix.yx, matrix.xy, matrix.yy, rounds };
    }

    // Brings the Pango context up to the Cairo context. Pango counts every update as a change
    // that lays every layout out anew, so it is updated only when what it takes in differs.
    void updateContext(cairo_t* cr)
    {
        Target target = targetOf(cr);
        cairo_surface_get_font_options(cairo_get_target(cr), m_targetOptions);
        if (m_updated && target == m_target && cairo_font_options_equal(m_targetOptions, m_surfaceOptions))
            return;
        pango_cairo_update_context(cr, m_context);
        m_updated = true;
        m_target = target;
        std::swap(m_surfaceOptions, m_targetOptions);
    }

    template<typename Value>
    static void appendBytes(std::string& key, const Value& value)
    {
        key.append(reinterpret_cast<const char*>(&value), sizeof value);
    }

    // Everything a layout depends on, as one text: the font, width, lines, alignment and text.
    static std::string keyFor(std::string_view text, const TextStyle& style, float width)
    {
        std::string key;
        key.reserve(sizeof(float) * 2 + sizeof(int) * 2 + sizeof(std::size_t) + style.font.fontName().size() + text.size());
        appendBytes(key, style.font.pointSize());
        appendBytes(key, width);
        appendBytes(key, style.lines);
        appendBytes(key, style.alignment);
        appendBytes(key, style.font.fontName().size());
        key += style.font.fontName();
        key += text;
        return key;
    }

    PangoLayout* createLayout(std::string_view text, const TextStyle& style, float width) const
    {
        PangoLayout* layout = pango_layout_new(m_context);
        ui::setLayoutText(layout, text, style.font, width, ui::LineBreakMode::WordWrap);
        if (style.lines == 1) {
            pango_layout_set_single_paragraph_mode(layout, TRUE);
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        } else if (style.lines > 1) {
            pango_layout_set_height(layout, -style.lines);
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        }
        PangoAlignment alignment = style.alignment == ui::TextAlignmentCenter ? PANGO_ALIGN_CENTER
            : style.alignment == ui::TextAlignmentRight                      ? PANGO_ALIGN_RIGHT
                                                                             : PANGO_ALIGN_LEFT;
        pango_layout_set_alignment(layout, alignment);
        return layout;
    }

    void measure(LaidOutText& text) const
    {
        PangoRectangle logical;
        pango_layout_get_pixel_extents(text.layout, &text.ink, &logical);
        text.height = logical.height;
        text.contextSerial = pango_context_get_serial(m_context);
    }

    void forgetAll()
    {
        for (auto& entry : m_layouts)
            g_object_unref(entry.second.layout);
        m_layouts.clear();
    }

    PangoContext* m_context;
    bool m_updated { false };
    Target m_target;
    cairo_font_options_t* m_surfaceOptions;
    cairo_font_options_t* m_targetOptions;
    std::unordered_map<std::string, LaidOutText> m_layouts;
};

void showText(cairo_t* cr, const LaidOutText& text, double x, double y, const ui::Color& color)
{
    // Only text whose ink reaches into the clip is drawn.
    const PangoRectangle& ink = text.ink;
    if (ink.width <= 0 || ink.height <= 0
        || !meetsClip(cr, x + ink.x - kInkMargin, y + ink.y - kInkMargin, ink.width + 2 * kInkMargin, ink.height + 2 * kInkMargin))
        return;
    cairo_move_to(cr, x, y);
    setSourceColor(cr, color);
    pango_cairo_show_layout(cr, text.layout);
    cairo_new_path(cr);
}

}

void setSourceColor(cairo_t* cr, const ui::Color& color)
{
    cairo_set_source_rgba(cr, color.red(), color.green(), color.blue(), color.alpha());
}

double textHeight(cairo_t* cr, std::string_view text, const TextStyle& style, double width)
{
    if (text.empty())
        return 0;
    return TextLayouts::shared().layout(cr, text, style, static_cast<float>(width)).height;
}

void drawText(cairo_t* cr, std::string_view text, const TextStyle& style, ui::Rect box)
{
    if (text.empty() || !style.color || !(box.width() > 0))
        return;
    const LaidOutText& laidOut = TextLayouts::shared().layout(cr, text, style, box.width());
    double top = box.y() + (box.height() - static_cast<double>(laidOut.height)) / 2;
    if (style.shadowColor && style.shadowColor->alpha() > 0)
        showText(cr, laidOut, box.x() + style.shadowOffset.width, top + style.shadowOffset.height, *style.shadowColor);
    showText(cr, laidOut, box.x(), top, *style.color);
}

void drawLabel(cairo_t* cr, const ui::Label& label)
{
    if (!label.font())
        return;
    TextStyle style;
    style.font = ui::Font(label.font()->fontName(), label.fittedFontSize());
    style.color = label.textColor();
    style.alignment = label.textAlignment();
    style.lines = label.numberOfLines();
    style.shadowColor = label.shadowColor();
    style.shadowOffset = label.shadowOffset();
    drawText(cr, label.text(), style, { 0, 0, label.frame().width(), label.frame().height() });
}

}
