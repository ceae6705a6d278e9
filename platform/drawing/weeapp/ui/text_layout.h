#pragma once

#include <weeapp/c_handles.h>
#include <weeapp/ui/font.h>

#include <pango/pango.h>

#include <string>
#include <string_view>

namespace ui {

// The Pango settings that text measurement uses, shared with whoever draws text, so that text
// is drawn exactly as it was measured: 72 dpi (a point is a pixel), metrics without hinting,
// fonts resolved by name through fontconfig, the phone's word wrap.

// Sets the resolution and font options on a context (call after pango_cairo_update_context).
void configurePangoContext(PangoContext*);

// The description of a font ("Helvetica-Bold" is the family Helvetica in bold), sized in
// pixels.
weeapp::PangoFontDescriptionOwner createFontDescription(const Font&);

// The text as a label shows it in that many lines (0: as many as it takes): valid UTF-8, with
// no control character but tabs and line breaks (the others would draw as hex boxes), and on
// one line only what comes before the first line break.
std::string shownText(std::string_view text, int lines);

// Puts the shown text and the font into the layout and wraps it at the width with the line
// break mode; a width that is not positive and finite means no wrapping. The rules are the
// phone's and the same for measuring and drawing: words wrap at word boundaries with no hyphen
// added, a word longer than the line breaks between characters, and the paragraph runs left to
// right whatever its script, so that left alignment stays left while every run of right-to-left
// text keeps its own direction.
void setLayoutText(PangoLayout*, std::string_view text, const Font&, float wrapWidth, LineBreakMode, int lines = 0);

}

namespace ui {

// Where a line of the layout (laid out without wrapping) is cut to fit the width, in Pango
// units from its left: after the clusters that, taken from the left, lie wholly inside the
// width. Truncation cuts there and puts the ellipsis after the cut, at the visual end of the
// line, whichever way the runs of the line go.
int visualCut(PangoLayout*, int lineIndex, int width);

// The same with a description the caller keeps (measurement caches its descriptions).
void setLayoutText(PangoLayout*, std::string_view text, const PangoFontDescription*, float wrapWidth, LineBreakMode, int lines = 0);

// The size that a description is made with: the font's, clamped to what Pango can hold.
double clampedPixelSize(float pointSize);

}
