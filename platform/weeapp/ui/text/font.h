#pragma once

#include <weeapp/ui/geometry.h>

#include <memory>
#include <string>
#include <string_view>

namespace weeapp::ui {

class Font;
using FontPtr = std::shared_ptr<const Font>;

class Font {
public:
    // fontWithName:size:; "Helvetica" and the other family names resolve through fontconfig.
    static FontPtr fontWithNameSize(std::string name, float size);
    static FontPtr systemFontOfSize(float size);

    const std::string& fontName() const { return m_name; }
    float pointSize() const { return m_size; }

    Font(std::string name, float size)
        : m_name(std::move(name))
        , m_size(size) { }

private:
    std::string m_name;
    float m_size;
};

enum class LineBreakMode {
    WordWrap = 0,
    CharacterWrap = 1,
    Clip = 2,
    HeadTruncation = 3,
    TailTruncation = 4,
    MiddleTruncation = 5,
};

// sizeWithFont:constrainedToSize:lineBreakMode: the size the text needs in that font when
// wrapped to the box's width, its height capped at the box's height (whole lines only, at least
// one line). An empty text measures 0 high. Measured with Pango at 72 dpi, one point a pixel.
Size sizeWithFont(std::string_view text, const Font&, Size constrainedTo, LineBreakMode);

// Width of the text on one line, as a one-line label shows it: up to its first line break.
float widthOfText(std::string_view text, const Font&);

}
