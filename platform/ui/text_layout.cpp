#include <weeapp/ui/text_layout.h>

#include <weeapp/sys/utf8.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace ui {

namespace {

constexpr double kResolution = 72.0;
constexpr float kLargestWrapWidth = 1.0e6f;
constexpr double kLargestFontSize = 4096.0;

struct FaceStyle {
    std::string_view suffix;
    PangoWeight weight;
    PangoStyle style;
};

// The PostScript-style suffixes of the phone's font names.
constexpr FaceStyle kFaceStyles[] = {
    { "-BoldOblique", PANGO_WEIGHT_BOLD, PANGO_STYLE_OBLIQUE },
    { "-BoldItalic", PANGO_WEIGHT_BOLD, PANGO_STYLE_ITALIC },
    { "-Bold", PANGO_WEIGHT_BOLD, PANGO_STYLE_NORMAL },
    { "-Oblique", PANGO_WEIGHT_NORMAL, PANGO_STYLE_OBLIQUE },
    { "-Italic", PANGO_WEIGHT_NORMAL, PANGO_STYLE_ITALIC },
    { "-Light", PANGO_WEIGHT_LIGHT, PANGO_STYLE_NORMAL },
    { "-Medium", PANGO_WEIGHT_MEDIUM, PANGO_STYLE_NORMAL },
    { "-Regular", PANGO_WEIGHT_NORMAL, PANGO_STYLE_NORMAL },
};

PangoWrapMode wrapModeFor(LineBreakMode mode)
{
    return mode == LineBreakMode::CharacterWrap ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR;
}

}

void configurePangoContext(PangoContext* context)
{
    pango_cairo_context_set_resolution(context, kResolution);
    // Paragraphs run left to right whatever their text (the layouts do not pick a direction).
    pango_context_set_base_dir(context, PANGO_DIRECTION_LTR);
    const weeapp::CairoFontOptions options(cairo_font_options_create());
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options.get());
}

double clampedPixelSize(float pointSize)
{
    if (!std::isfinite(pointSize))
        return pointSize > 0 ? kLargestFontSize : 1.0 / PANGO_SCALE;
    return std::clamp(static_cast<double>(pointSize), 1.0 / PANGO_SCALE, kLargestFontSize);
}

weeapp::PangoFontDescriptionOwner createFontDescription(const Font& font)
{
    std::string_view family = font.fontName();
    PangoWeight weight = PANGO_WEIGHT_NORMAL;
    PangoStyle style = PANGO_STYLE_NORMAL;
    for (const auto& face : kFaceStyles) {
        if (family.size() > face.suffix.size() && family.ends_with(face.suffix)) {
            family.remove_suffix(face.suffix.size());
            weight = face.weight;
            style = face.style;
            break;
        }
    }
    if (family == "HelveticaNeue")
        family = "Helvetica";
    if (family.empty())
        family = "Helvetica";

    weeapp::PangoFontDescriptionOwner description(pango_font_description_new());
    pango_font_description_set_family(description.get(), std::string(family).c_str());
    pango_font_description_set_weight(description.get(), weight);
    pango_font_description_set_style(description.get(), style);
    pango_font_description_set_absolute_size(description.get(), clampedPixelSize(font.pointSize()) * PANGO_SCALE);
    return description;
}

std::string shownText(std::string_view text, int lines)
{
    text = text.substr(0, std::min<std::size_t>(text.size(), INT_MAX / 4));
    // A NUL shows as a replacement character, like a byte that is not UTF-8.
    std::string valid;
    valid.reserve(text.size());
    for (char character : sys::validUtf8(text)) {
        if (character == '\0')
            valid += "\xEF\xBF\xBD";
        else
            valid += character;
    }
    std::string shown;
    shown.reserve(valid.size());
    for (const char* at = valid.c_str(); *at; at = g_utf8_next_char(at)) {
        const gunichar character = g_utf8_get_char(at);
        const bool lineBreak = character == '\n' || character == '\r' || character == 0x85 || character == 0x2028 || character == 0x2029;
        if (lineBreak && lines == 1)
            break;
        if (!lineBreak && character != '\t' && g_unichar_type(character) == G_UNICODE_CONTROL)
            continue;
        shown.append(at, static_cast<std::size_t>(g_utf8_next_char(at) - at));
    }
    return shown;
}

void setLayoutText(PangoLayout* layout, std::string_view text, const PangoFontDescription* description, float wrapWidth, LineBreakMode mode, int lines)
{
    const std::string shown = shownText(text, lines);
    pango_layout_set_text(layout, shown.data(), static_cast<int>(shown.size()));
    pango_layout_set_font_description(layout, description);
    pango_layout_set_auto_dir(layout, FALSE);
    const weeapp::PangoAttrListOwner attributes(pango_attr_list_new());
    pango_attr_list_insert(attributes.get(), pango_attr_insert_hyphens_new(FALSE));
    pango_layout_set_attributes(layout, attributes.get());
    if (std::isfinite(wrapWidth) && wrapWidth > 0 && wrapWidth < kLargestWrapWidth) {
        pango_layout_set_width(layout, static_cast<int>(std::lround(static_cast<double>(wrapWidth) * PANGO_SCALE)));
        pango_layout_set_wrap(layout, wrapModeFor(mode));
    } else {
        pango_layout_set_width(layout, -1);
    }
}

void setLayoutText(PangoLayout* layout, std::string_view text, const Font& font, float wrapWidth, LineBreakMode mode, int lines)
{
    setLayoutText(layout, text, createFontDescription(font).get(), wrapWidth, mode, lines);
}

int visualCut(PangoLayout* layout, int lineIndex, int width)
{
    struct Cluster {
        int left, right;
        bool blank;
        bool operator<(const Cluster& other) const { return left < other.left; }
    };
    const char* text = pango_layout_get_text(layout);
    const weeapp::PangoLayoutIterOwner clusterWalk(pango_layout_get_iter(layout));
    PangoLayoutIter* iter = clusterWalk.get();
    for (int line = 0; line < lineIndex && pango_layout_iter_next_line(iter); ++line) { }
    PangoRectangle lineExtents;
    pango_layout_iter_get_line_extents(iter, nullptr, &lineExtents);
    PangoLayoutLine* wanted = pango_layout_iter_get_line_readonly(iter);
    std::vector<Cluster> clusters;
    do {
        if (pango_layout_iter_get_line_readonly(iter) != wanted)
            break;
        if (!pango_layout_iter_get_run_readonly(iter))
            continue; // the end of the line
        PangoRectangle logical;
        pango_layout_iter_get_cluster_extents(iter, nullptr, &logical);
        const int left = logical.x - lineExtents.x, right = left + logical.width;
        const bool blank = g_unichar_isspace(g_utf8_get_char(text + pango_layout_iter_get_index(iter)));
        clusters.push_back({ std::min(left, right), std::max(left, right), blank });
    } while (pango_layout_iter_next_cluster(iter));

    // The clusters from the left that fit; blanks at the cut go too, so the ellipsis follows
    // the last letter.
    std::sort(clusters.begin(), clusters.end());
    int cut = 0;
    for (const Cluster& cluster : clusters) {
        if (cluster.right > width)
            break;
        if (!cluster.blank)
            cut = std::max(cut, cluster.right);
    }
    return cut;
}

}
