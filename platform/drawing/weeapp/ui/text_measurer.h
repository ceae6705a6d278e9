#pragma once

#include <weeapp/c_handles.h>
#include <weeapp/ui/font.h>

#include <pango/pango.h>

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace ui {

// Measures text with one long-lived Pango context and layout: making a fresh layout for every
// measurement costs several times the measurement itself. Results are remembered, as
// every rebuild of a view measures the same few names again. Main thread only.
//
// Both memories are bounded: each starts over when full rather than grow without end, which a
// shrink-to-fit asking for many sizes, or a long session measuring many names, would make it.
class TextMeasurer {
public:
    // Font descriptions, by name and size.
    static constexpr std::size_t kMaximumCachedDescriptions = 256;
    // Sizes and line widths, each, by text, font, box and mode.
    static constexpr std::size_t kMaximumRememberedResults = 4096;

    // The current platform state's measurer, made at its first use.
    static TextMeasurer& shared();
    ~TextMeasurer();

    Size measure(std::string_view text, const Font&, Size constrainedTo, LineBreakMode);
    float lineWidth(std::string_view text, const Font&);

    TextMeasurer(const TextMeasurer&) = delete;
    TextMeasurer& operator=(const TextMeasurer&) = delete;

    std::size_t cachedDescriptionCount() const { return m_descriptions.size(); }
    std::size_t rememberedResultCount() const { return m_sizes.size() + m_widths.size(); }

private:
    TextMeasurer();

    void prepare(std::string_view text, const Font&, float wrapWidth, LineBreakMode);
    Size layoutSize(std::string_view text, const Font&, Size constrainedTo, LineBreakMode);
    const PangoFontDescription* description(const Font&);

    // Everything a measurement depends on, as one text: the kind, font, box, mode and text.
    static std::string resultKey(char kind, std::string_view text, const Font&, Size box, LineBreakMode);
    template<typename Result, typename Measure>
    Result remembered(std::unordered_map<std::string, Result>&, std::string key, Measure&&);

    weeapp::GObjectRef<PangoContext> m_context;
    weeapp::GObjectRef<PangoLayout> m_layout;
    std::map<std::pair<std::string, float>, weeapp::PangoFontDescriptionOwner> m_descriptions;
    std::unordered_map<std::string, Size> m_sizes;
    std::unordered_map<std::string, float> m_widths;
};

}
