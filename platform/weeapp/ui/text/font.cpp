#include <weeapp/ui/text/font.h>

#include <weeapp/ui/text/text_measurer.h>

namespace weeapp::ui {

namespace {

constexpr const char* kSystemFontName = "Helvetica";

}

FontPtr Font::fontWithNameSize(std::string name, float size)
{
    return std::make_shared<const Font>(std::move(name), size);
}

FontPtr Font::systemFontOfSize(float size)
{
    return std::make_shared<const Font>(kSystemFontName, size);
}

Size sizeWithFont(std::string_view text, const Font& font, Size constrainedTo, LineBreakMode mode)
{
    return TextMeasurer::shared().measure(text, font, constrainedTo, mode);
}

float widthOfText(std::string_view text, const Font& font)
{
    return TextMeasurer::shared().lineWidth(text, font);
}

}
