#include <weeapp/ui/text_measurer.h>

#include <weeapp/platform_objects.h>
#include <weeapp/ui/text_layout.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

template<typename Value>
void appendBytes(std::string& key, const Value& value)
{
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

float pointsRoundedUp(int pangoUnits)
{
    return static_cast<float>(std::ceil(static_cast<double>(pangoUnits) / PANGO_SCALE));
}

}

TextMeasurer& TextMeasurer::shared()
{
    std::unique_ptr<TextMeasurer>& measurer = weeapp::currentObjects().textMeasurer;
    if (!measurer)
        measurer.reset(new TextMeasurer);
    return *measurer;
}

// Pango's own font map, which the host's drawing shares: it holds the fonts loaded so far, and
// making one costs tens of milliseconds, which a fresh platform state should not pay again.
TextMeasurer::TextMeasurer()
    : m_context(pango_font_map_create_context(pango_cairo_font_map_get_default()))
{
    configurePangoContext(m_context.get());
    m_layout.reset(pango_layout_new(m_context.get()));
}

TextMeasurer::~TextMeasurer() = default;

const PangoFontDescription* TextMeasurer::description(const Font& font)
{
    auto key = std::make_pair(font.fontName(), font.pointSize());
    auto it = m_descriptions.find(key);
    if (it != m_descriptions.end())
        return it->second.get();
    if (m_descriptions.size() >= kMaximumCachedDescriptions)
        m_descriptions.clear();
    return m_descriptions.emplace(std::move(key), createFontDescription(font)).first->second.get();
}

std::string TextMeasurer::resultKey(char kind, std::string_view text, const Font& font, Size box, LineBreakMode mode)
{
    std::string key(1, kind);
    appendBytes(key, font.pointSize());
    appendBytes(key, box.width);
    appendBytes(key, box.height);
    appendBytes(key, mode);
    appendBytes(key, font.fontName().size());
    key += font.fontName();
    key += text;
    return key;
}

template<typename Result, typename Measure>
Result TextMeasurer::remembered(std::unordered_map<std::string, Result>& results, std::string key, Measure&& measure)
{
    auto it = results.find(key);
    if (it != results.end())
        return it->second;
    if (results.size() >= kMaximumRememberedResults)
        results.clear();
    const Result result = measure();
    results.emplace(std::move(key), result);
    return result;
}

void TextMeasurer::prepare(std::string_view text, const Font& font, float wrapWidth, LineBreakMode mode)
{
    setLayoutText(m_layout.get(), text, description(font), wrapWidth, mode);
}

Size TextMeasurer::measure(std::string_view text, const Font& font, Size constrainedTo, LineBreakMode mode)
{
    if (text.empty() || !(font.pointSize() > 0))
        return { 0, 0 };
    return remembered(m_sizes, resultKey('s', text, font, constrainedTo, mode), [&] { return layoutSize(text, font, constrainedTo, mode); });
}

Size TextMeasurer::layoutSize(std::string_view text, const Font& font, Size constrainedTo, LineBreakMode mode)
{
    prepare(text, font, constrainedTo.width, mode);

    // Whole lines only, as many as the box's height holds, but always the first.
    const bool capped = std::isfinite(constrainedTo.height) && constrainedTo.height > 0 && constrainedTo.height < 1.0e6f;
    const double heightLimit = capped ? static_cast<double>(constrainedTo.height) * PANGO_SCALE : 0;
    int width = 0;
    int bottom = 0;
    const weeapp::PangoLayoutIterOwner lines(pango_layout_get_iter(m_layout.get()));
    PangoLayoutIter* iter = lines.get();
    bool first = true;
    do {
        int top = 0;
        int lineBottom = 0;
        pango_layout_iter_get_line_yrange(iter, &top, &lineBottom);
        if (!first && capped && lineBottom > heightLimit)
            break;
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        width = std::max(width, logical.width);
        bottom = lineBottom;
        first = false;
    } while (pango_layout_iter_next_line(iter));

    float measuredWidth = pointsRoundedUp(width);
    if (pango_layout_get_width(m_layout.get()) > 0)
        measuredWidth = std::min(measuredWidth, constrainedTo.width);
    return { measuredWidth, pointsRoundedUp(bottom) };
}

float TextMeasurer::lineWidth(std::string_view text, const Font& font)
{
    if (text.empty() || !(font.pointSize() > 0))
        return 0;
    return remembered(m_widths, resultKey('w', text, font, {}, LineBreakMode::WordWrap), [&] {
        setLayoutText(m_layout.get(), text, description(font), 0, LineBreakMode::WordWrap, 1);
        PangoRectangle logical;
        pango_layout_get_extents(m_layout.get(), nullptr, &logical);
        return static_cast<float>(static_cast<double>(logical.width) / PANGO_SCALE);
    });
}

}
