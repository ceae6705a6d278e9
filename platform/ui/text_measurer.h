#pragma once

#include "ui/font.h"

#include <pango/pango.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace ui {

// Measures text with one long-lived Pango font map, context and layout: making a fresh layout
// for every measurement costs several times the measurement itself. Main thread only.
class TextMeasurer {
public:
    static TextMeasurer& shared();

    Size measure(std::string_view text, const Font&, Size constrainedTo, LineBreakMode);
    float lineWidth(std::string_view text, const Font&);

    TextMeasurer(const TextMeasurer&) = delete;
    TextMeasurer& operator=(const TextMeasurer&) = delete;

private:
    TextMeasurer();

    void prepare(std::string_view text, const Font&, float wrapWidth, LineBreakMode);
    const PangoFontDescription* description(const Font&);

    PangoFontMap* m_fontMap { nullptr };
    PangoContext* m_context { nullptr };
    PangoLayout* m_layout { nullptr };
    std::map<std::pair<std::string, float>, PangoFontDescription*> m_descriptions;
};

}
