#pragma once

#include "ui/font.h"

#include <pango/pango.h>

#include <string_view>

namespace ui {

// The Pango settings that text measurement uses, shared with whoever draws text, so that text
// is drawn exactly as it was measured: 72 dpi (a point is a pixel), metrics without hinting,
// fonts resolved by name through fontconfig, the phone's word wrap.

// Sets the resolution and font options on a context (call after pango_cairo_update_context).
void configurePangoContext(PangoContext*);

// The description of a font ("Helvetica-Bold" is the family Helvetica in bold), sized in
// pixels; free it with pango_font_description_free.
PangoFontDescription* createFontDescription(const Font&);

// Puts the text (invalid UTF-8 replaced) and the font into the layout and wraps it at the width
// with the line break mode; a width that is not positive and finite means no wrapping.
void setLayoutText(PangoLayout*, std::string_view text, const Font&, float wrapWidth, LineBreakMode);

}

namespace ui {

// The same with a description the caller keeps (measurement caches its descriptions).
void setLayoutText(PangoLayout*, std::string_view text, const PangoFontDescription*, float wrapWidth, LineBreakMode);

// The size that a description is made with: the font's, clamped to what Pango can hold.
double clampedPixelSize(float pointSize);

}
