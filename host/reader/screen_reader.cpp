#include "reader/screen_reader.h"

#include "render/alert_drawing.h"

namespace kavrin::host {

namespace {

weeapp::ui::AccessibilityDescription describeAlertButton(const weeapp::ui::AlertView& alert, int index)
{
    return { alert.buttonTitles()[static_cast<std::size_t>(index)], std::nullopt, weeapp::ui::AccessibilityTraitButton, std::nullopt };
}

}

const weeapp::ui::View* ScreenReader::elementInWindow(weeapp::ui::Point inWindow) const
{
    weeapp::ui::View* content = m_session.contentView();
    if (!content || content->window() != &m_session.window())
        return nullptr;
    return weeapp::ui::accessibilityElementAtPoint(*content, inWindow);
}

std::optional<weeapp::ui::AccessibilityDescription> ScreenReader::describeAt(weeapp::ui::Point point)
{
    weeapp::ui::View* content = m_session.contentView();
    if (!content || m_session.visibleAlert())
        return std::nullopt;
    if (const weeapp::ui::View* element = elementInWindow(content->convertPointToView(point, nullptr)))
        return weeapp::ui::describeAccessibilityElement(*element);
    return std::nullopt;
}

bool ScreenReader::Hovered::isSame(const Hovered& other) const
{
    return alertButton == other.alertButton && !owner.expired() && !owner.owner_before(other.owner) && !other.owner.owner_before(owner);
}

std::optional<ScreenReader::Hovered> ScreenReader::hoveredAt(weeapp::ui::Point inWindow, double pictureWidth, double pictureHeight)
{
    if (std::shared_ptr<weeapp::ui::AlertView> alert = m_session.visibleAlert()) {
        const int button = m_session.alertButtonAt(inWindow, pictureWidth, pictureHeight);
        if (button < 0 || static_cast<std::size_t>(button) >= alert->buttonTitles().size())
            return std::nullopt;
        return Hovered { std::shared_ptr<const void>(alert), button, describeAlertButton(*alert, button) };
    }
    const weeapp::ui::View* element = elementInWindow(inWindow);
    if (!element)
        return std::nullopt;
    return Hovered { std::shared_ptr<const void>(element->shared_from_this()), -1, weeapp::ui::describeAccessibilityElement(*element) };
}

std::vector<weeapp::ui::AccessibilityDescription> ScreenReader::readingOrder()
{
    std::vector<weeapp::ui::AccessibilityDescription> descriptions;
    if (weeapp::ui::View* content = m_session.contentView(); content && content->window() == &m_session.window()) {
        for (const weeapp::ui::View* element : weeapp::ui::accessibilityElementsInReadingOrder(*content))
            descriptions.push_back(weeapp::ui::describeAccessibilityElement(*element));
    }
    if (std::shared_ptr<weeapp::ui::AlertView> alert = m_session.visibleAlert()) {
        for (int index : alertButtonsInDrawingOrder(*alert))
            descriptions.push_back(describeAlertButton(*alert, index));
    }
    return descriptions;
}

bool ScreenReader::swipe(weeapp::ui::AccessibilityScrollDirection direction)
{
    weeapp::ui::ScrollView* scroll = m_session.scrollView();
    if (!scroll)
        return false;
    // The delegate may change the tree while it runs; the view stays alive until it is done.
    weeapp::ui::ViewPtr keep = scroll->shared_from_this();
    scroll->accessibilityScroll(direction);
    return true;
}

}
