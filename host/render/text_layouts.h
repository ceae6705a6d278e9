#pragma once

#include "render/text_drawing.h"
#include <weeapp/c_handles.h>
#include <weeapp/ui/text_layout.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kavrin::host {

// Frames draw the same few texts again and again; past this many the layouts used longest ago
// make room, but never those of the frame being drawn.
constexpr std::size_t kMaximumRememberedLayouts = 256;

constexpr const char* kEllipsis = "\u2026";

// A text as it is drawn: the lines of the layout drawn whole, then, when the text goes on past
// the lines the style allows, its last line laid out apart and cut at its visual end with an
// ellipsis there. A one-line text is only that last line. All positions in pixels from the
// text's top left; the last line and the ellipsis stand on one baseline.
struct LaidOutText {
    weeapp::GObjectRef<PangoLayout> layout; // the lines drawn whole (none for one line)
    weeapp::GObjectRef<PangoLayout> last;   // the last line, not wrapped
    weeapp::GObjectRef<PangoLayout> ellipsis;
    guint contextSerial { 0 };
    int wholeLines { 0 };
    double wholeBottom { 0 }; // where the whole lines end
    double lastX { 0 };       // the last line's left, for its alignment
    double cut { -1 };        // where the last line is cut, or -1 when it fits
    double ellipsisY { 0 };
    PangoRectangle ink {};
    int height { 0 };
    int baseline { 0 };
};

// One Pango context for all the drawing, made as a context for a Cairo context is, and the
// layouts of the texts drawn lately, each laid out once in its style and width. Main thread
// only. A RenderCache holds it, never a static: Pango and fontconfig must not be torn down in
// static destruction order.
class TextLayouts {
public:
    TextLayouts()
        : m_context(pango_font_map_create_context(pango_cairo_font_map_get_default()))
        , m_surfaceOptions(cairo_font_options_create())
        , m_targetOptions(cairo_font_options_create())
    {
        ui::configurePangoContext(m_context.get());
    }

    // The text laid out as it is drawn into the Cairo context.
    const LaidOutText& layout(cairo_t* cr, std::string_view text, const TextStyle& style, float width)
    {
        updateContext(cr);
        std::string key = keyFor(text, style, width);
        auto found = m_layouts.find(key);
        if (found == m_layouts.end()) {
            makeRoom();
            found = m_layouts.emplace(std::move(key), Remembered {}).first;
            m_uses.push_front(&found->first);
            found->second.use = m_uses.begin();
            found->second.text = build(text, style, width);
            measure(found->second.text, style, width);
        } else {
            m_uses.splice(m_uses.begin(), m_uses, found->second.use);
            if (found->second.text.contextSerial != pango_context_get_serial(m_context.get())) {
                // Fonts may break lines elsewhere now: lay the text out afresh.
                found->second.text = build(text, style, width);
                measure(found->second.text, style, width);
            }
        }
        found->second.frame = m_frame;
        return found->second.text;
    }

    // A new frame begins: the texts laid out for earlier frames may make room for its texts,
    // while those it lays out stay, however many they are.
    void startFrame() { ++m_frame; }

    TextLayouts(const TextLayouts&) = delete;
    TextLayouts& operator=(const TextLayouts&) = delete;

private:
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
        cairo_surface_get_font_options(cairo_get_target(cr), m_targetOptions.get());
        if (m_updated && target == m_target && cairo_font_options_equal(m_targetOptions.get(), m_surfaceOptions.get()))
            return;
        pango_cairo_update_context(cr, m_context.get());
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

    static double pixels(int pangoUnits) { return static_cast<double>(pangoUnits) / PANGO_SCALE; }

    static PangoAlignment pangoAlignment(int alignment)
    {
        return alignment == ui::TextAlignmentCenter ? PANGO_ALIGN_CENTER : alignment == ui::TextAlignmentRight ? PANGO_ALIGN_RIGHT
                                                                                                               : PANGO_ALIGN_LEFT;
    }

    // Lays the text out by the toolkit's rules (those it measures with) for the style and width.
    LaidOutText build(std::string_view text, const TextStyle& style, float width) const
    {
        LaidOutText laidOut;
        int lastStart = 0;
        if (style.lines != 1) {
            laidOut.layout.reset(pango_layout_new(m_context.get()));
            ui::setLayoutText(laidOut.layout.get(), text, style.font, width, ui::LineBreakMode::WordWrap);
            pango_layout_set_alignment(laidOut.layout.get(), pangoAlignment(style.alignment));
            const int count = pango_layout_get_line_count(laidOut.layout.get());
            if (style.lines < 1 || count <= style.lines)
                return laidOut;
            laidOut.wholeLines = style.lines - 1;
            lastStart = pango_layout_get_line_readonly(laidOut.layout.get(), laidOut.wholeLines)->start_index;
        }
        const std::string shown = ui::shownText(text, 0);
        laidOut.last.reset(pango_layout_new(m_context.get()));
        ui::setLayoutText(laidOut.last.get(), std::string_view(shown).substr(static_cast<std::size_t>(lastStart)), style.font, 0,
            ui::LineBreakMode::WordWrap, 1);
        return laidOut;
    }

    // Places the last line and its ellipsis, and takes the extents of what is drawn.
    void measure(LaidOutText& text, const TextStyle& style, float width) const
    {
        text.contextSerial = pango_context_get_serial(m_context.get());
        PangoRectangle logical;
        if (!text.last) {
            pango_layout_get_pixel_extents(text.layout.get(), &text.ink, &logical);
            text.height = logical.height;
            text.baseline = PANGO_PIXELS(pango_layout_get_baseline(text.layout.get()));
            return;
        }
        text.wholeBottom = 0;
        if (text.wholeLines > 0) {
            const weeapp::PangoLayoutIterOwner lines(pango_layout_get_iter(text.layout.get()));
            PangoLayoutIter* iter = lines.get();
            for (int line = 0; line < text.wholeLines; ++line) {
                int top = 0, bottom = 0;
                pango_layout_iter_get_line_yrange(iter, &top, &bottom);
                text.wholeBottom = pixels(bottom);
                pango_layout_iter_next_line(iter);
            }
        }
        PangoRectangle lastLogical;
        pango_layout_get_extents(text.last.get(), nullptr, &lastLogical);
        const double available = width;
        double shownWidth = pixels(lastLogical.width);
        text.cut = -1;
        if (shownWidth > available + 1e-3) {
            if (!text.ellipsis) {
                text.ellipsis.reset(pango_layout_new(m_context.get()));
                ui::setLayoutText(text.ellipsis.get(), kEllipsis, style.font, 0, ui::LineBreakMode::WordWrap, 1);
            }
            PangoRectangle ellipsisLogical;
            pango_layout_get_extents(text.ellipsis.get(), nullptr, &ellipsisLogical);
            const int room = std::max(0, static_cast<int>(std::lround(available * PANGO_SCALE)) - ellipsisLogical.width);
            text.cut = pixels(ui::visualCut(text.last.get(), 0, room));
            shownWidth = text.cut + pixels(ellipsisLogical.width);
            text.ellipsisY = pixels(pango_layout_get_baseline(text.last.get()) - pango_layout_get_baseline(text.ellipsis.get()));
        }
        // A line that fits takes its alignment; a cut one fills the width (an ellipsis wider
        // than the width starts at the left).
        const double spare = std::max(0.0, available - shownWidth);
        text.lastX = style.alignment == ui::TextAlignmentCenter ? spare / 2 : style.alignment == ui::TextAlignmentRight ? spare
                                                                                                                        : 0;

        // What is drawn lies within the union of the parts' ink.
        PangoRectangle ink {}, lastInk;
        if (text.layout)
            pango_layout_get_pixel_extents(text.layout.get(), &ink, nullptr);
        pango_layout_get_pixel_extents(text.last.get(), &lastInk, &logical);
        lastInk.x += static_cast<int>(std::floor(text.lastX));
        lastInk.y += static_cast<int>(std::floor(text.wholeBottom));
        lastInk.width += 2;
        if (text.cut >= 0) {
            lastInk.width = std::max(lastInk.width, static_cast<int>(std::ceil(shownWidth)) + 2);
            lastInk.height += 2;
        }
        text.ink = text.wholeLines > 0 ? unite(ink, lastInk) : lastInk;
        text.height = static_cast<int>(std::lround(text.wholeBottom)) + logical.height;
        text.baseline = text.wholeLines > 0 ? PANGO_PIXELS(pango_layout_get_baseline(text.layout.get()))
                                            : PANGO_PIXELS(pango_layout_get_baseline(text.last.get()));
    }

    static PangoRectangle unite(const PangoRectangle& a, const PangoRectangle& b)
    {
        const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
        const int right = std::max(a.x + a.width, b.x + b.width), bottom = std::max(a.y + a.height, b.y + b.height);
        return { left, top, right - left, bottom - top };
    }

    // Forgets the layouts used longest ago, down to one below the most kept, but none that the
    // frame being drawn has used: those stay even when they are more.
    void makeRoom()
    {
        while (m_layouts.size() >= kMaximumRememberedLayouts && !m_uses.empty()) {
            auto oldest = m_layouts.find(*m_uses.back());
            if (oldest->second.frame == m_frame)
                return;
            m_uses.pop_back();
            m_layouts.erase(oldest);
        }
    }

    weeapp::GObjectRef<PangoContext> m_context;
    bool m_updated { false };
    Target m_target;
    weeapp::CairoFontOptions m_surfaceOptions;
    weeapp::CairoFontOptions m_targetOptions;
    // A layout with the frame that last used it and its place in the order of use.
    struct Remembered {
        LaidOutText text;
        std::uint64_t frame { 0 };
        std::list<const std::string*>::iterator use;
    };

    std::unordered_map<std::string, Remembered> m_layouts;
    std::list<const std::string*> m_uses; // keys of m_layouts, the latest used first
    std::uint64_t m_frame { 0 };
};

}
