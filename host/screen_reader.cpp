#include "screen_reader.h"

#include "alert_drawing.h"

namespace kavrin::host {

std::optional<ui::AccessibilityDescription> ScreenReader::describeAt(ui::Point point)
{
    ui::View* content = m_session.contentView();
    if (!content || m_session.visibleAlert() || content->window() != &m_session.window())
        return std::nullopt;
    const ui::Point inWindow = content->convertPointToView(point, nullptr);
    if (const ui::View* element = ui::accessibilityElementAtPoint(*content, inWindow))
        return ui::describeAccessibilityElement(*element);
    return std::nullopt;
}

std::vector<ui::AccessibilityDescription> ScreenReader::readingOrder()
{
    std::vector<ui::AccessibilityDescription> descriptions;
    if (ui::View* content = m_session.contentView(); content && content->window() == &m_session.window()) {
        for (const ui::View* element : ui::accessibilityElementsInReadingOrder(*content))
            descriptions.push_back(ui::describeAccessibilityElement(*element));
    }
    if (std::shared_ptr<ui::AlertView> alert = m_session.visibleAlert()) {
        for (int index : alertButtonsInDrawingOrder(*alert))
            descriptions.push_back({ alert->buttonTitles()[static_cast<std::size_t>(index)], std::nullopt, ui::AccessibilityTraitButton, std::nullopt });
    }
    return descriptions;
}

bool ScreenReader::swipe(ui::AccessibilityScrollDirection direction)
{
    ui::ScrollView* scroll = m_session.scrollView();
    if (!scroll)
        return false;
    // The delegate may change the tree while it runs; the view stays alive until it is done.
    ui::ViewPtr keep = scroll->shared_from_this();
    scroll->accessibilityScroll(direction);
    return true;
}

}
