#include <weeapp/ui/views/label.h>

#include <algorithm>
#include <cmath>

namespace weeapp::ui {

namespace {

// Shrinking goes down in steps of this many points.
constexpr float kShrinkStep = 0.5f;
// A minimum font size of 0 still leaves text that can be drawn.
constexpr float kSmallestFittedSize = 1.0f;

}

std::shared_ptr<Label> Label::create(Rect frame)
{
    return make<Label>(frame);
}

Label::Label(Rect frame)
    : View(frame)
{
    // Labels let touches through to what lies beneath them (a button under its badge).
    setUserInteractionEnabled(false);
}

std::optional<std::string> Label::defaultAccessibilityLabel() const
{
    if (m_text.empty())
        return std::nullopt;
    return m_text;
}

float Label::fittedFontSize() const
{
    if (!m_font)
        return 0;
    const float size = m_font->pointSize();
    if (!m_adjustsFontSizeToFitWidth || m_numberOfLines != 1 || m_text.empty() || !(size > 0))
        return size;
    const float available = frame().width();
    const float fullWidth = widthOfText(m_text, *m_font);
    if (fullWidth <= available)
        return size;

    const float smallest = std::min(std::max(m_minimumFontSize, kSmallestFittedSize), size);
    if (!(available > 0))
        return smallest;
    // Text width grows almost in proportion to the size: start from the proportional guess,
    // on the step grid, and step down until the line fits.
    float candidate = std::floor(size * (available / fullWidth) / kShrinkStep) * kShrinkStep;
    candidate = std::clamp(candidate, smallest, size);
    while (candidate > smallest && widthOfText(m_text, Font(m_font->fontName(), candidate)) > available)
        candidate = std::max(candidate - kShrinkStep, smallest);
    return candidate;
}

}
