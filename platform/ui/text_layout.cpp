#include "ui/text_layout.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

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
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
}

double clampedPixelSize(float pointSize)
{
    if (!std::isfinite(pointSize))
        return pointSize > 0 ? kLargestFontSize : 1.0 / PANGO_SCALE;
    return std::clamp(static_cast<double>(pointSize), 1.0 / PANGO_SCALE, kLargestFontSize);
}

PangoFontDescription* createFontDescription(const Font& font)
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

    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, std::string(family).c_str());
    pango_font_description_set_weight(description, weight);
    pango_font_description_set_style(description, style);
    pango_font_description_set_absolute_size(description, clampedPixelSize(font.pointSize()) * PANGO_SCALE);
    return description;
}

void setLayoutText(PangoLayout* layout, std::string_view text, const PangoFontDescription* description, float wrapWidth, LineBreakMode mode)
{
    const auto length = static_cast<gssize>(std::min<std::size_t>(text.size(), INT_MAX / 2));
    if (g_utf8_validate(text.data(), length, nullptr)) {
        pango_layout_set_text(layout, text.data(), static_cast<int>(length));
    } else {
        gchar* valid = g_utf8_make_valid(text.data(), length);
        pango_layout_set_text(layout, valid, -1);
        g_free(valid);
    }
    pango_layout_set_font_description(layout, description);
    if (std::isfinite(wrapWidth) && wrapWidth > 0 && wrapWidth < kLargestWrapWidth) {
        pango_layout_set_width(layout, static_cast<int>(std::lround(static_cast<double>(wrapWidth) * PANGO_SCALE)));
        pango_layout_set_wrap(layout, wrapModeFor(mode));
    } else {
        pango_layout_set_width(layout, -1);
    }
}

void setLayoutText(PangoLayout* layout, std::string_view text, const Font& font, float wrapWidth, LineBreakMode mode)
{
    PangoFontDescription* description = createFontDescription(font);
    setLayoutText(layout, text, description, wrapWidth, mode);
    pango_font_description_free(description);
}

}
