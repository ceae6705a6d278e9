#include "reader/screen_reader.h"

#include "render/alert_drawing.h"

namespace kavrin::host {

namespace {

ui::AccessibilityDescription describeAlertButton(const ui::AlertView& alert, int index)
{
    return { alert.buttonTitles()[static_cast<std::size_t>(index)], std::nullopt, ui::AccessibilityTraitButton, std::nullopt };
}

}

const ui::View* ScreenReader::elementInWindow(ui::Point inWindow) const
{
    ui::View* content = m_session.contentView();
    if (!content || content->window() != &m_session.window())
        return nullptr;
    return ui::accessibilityElementAtPoint(*content, inWindow);
}

std::optional<ui::AccessibilityDescription> ScreenReader::describeAt(ui::Point point)
{
    ui::View* content = m_session.contentView();
    if (!content || m_session.visibleAlert())
        return std::nullopt;
    if (const ui::View* element = elementInWindow(content->convertPointToView(point, nullptr)))
        return ui::describeAccessibilityElement(*element);
    return std::nullopt;
}

bool ScreenReader::Hovered::isSame(const Hovered& other) const
{
    return alertButton == other.alertButton && !owner.expired() && !owner.owner_before(other.owner) && !other.owner.owner_before(owner);
}

std::optional<ScreenReader::Hovered> ScreenReader::hoveredAt(ui::Point inWindow, double pictureWidth, double pictureHeight)
{
    if (std::shared_ptr<ui::AlertView> alert = m_session.visibleAlert()) {
        const int button = m_session.alertButtonAt(inWindow, pictureWidth, pictureHeight);
        if (button < 0 || static_cast<std::size_t>(button) >= alert->buttonTitles().size())
            return std::nullopt;
        return Hovered { std::shared_ptr<const void>(alert), button, describeAlertButton(*alert, button) };
    }
    const ui::View* element = elementInWindow(inWindow);
    if (!element)
        return std::nullopt;
    return Hovered { std::shared_ptr<const void>(element->shared_from_this()), -1, ui::describeAccessibilityElement(*element) };
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
            descriptions.push_back(describeAlertButton(*alert, index));
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
