#include <weeapp/ui/alert_view.h>

#include <weeapp/platform_objects.h>

namespace ui {

namespace {

AlertView::Presenter& presenter()
{
    return weeapp::currentObjects().alertPresenter;
}

}

std::shared_ptr<AlertView> AlertView::create(std::optional<std::string> title, std::optional<std::string> message, AlertViewDelegate* delegate, std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles)
{
    std::shared_ptr<AlertView> alert(new AlertView);
    alert->m_title = std::move(title);
    alert->m_message = std::move(message);
    alert->m_delegate = delegate;
    if (cancelButtonTitle) {
        alert->m_cancelButtonIndex = 0;
        alert->m_buttons.push_back(std::move(*cancelButtonTitle));
    }
    for (auto& other : otherButtonTitles)
        alert->m_buttons.push_back(std::move(other));
    return alert;
}

int AlertView::addButtonWithTitle(std::string title)
{
    m_buttons.push_back(std::move(title));
    return static_cast<int>(m_buttons.size()) - 1;
}

void AlertView::show()
{
    m_visible = true;
    const Presenter current = presenter(); // a presenter may install another
    if (current)
        current(shared_from_this());
}

void AlertView::dismissWithClickedButtonIndex(int buttonIndex)
{
    if (buttonIndex < 0 || buttonIndex >= numberOfButtons())
        return;
    // The presenter may let go of the alert when it leaves the screen.
    std::shared_ptr<AlertView> keep = shared_from_this();
    m_visible = false;
    if (AlertViewDelegate* receiver = delegate())
        receiver->alertViewClickedButtonAtIndex(this, buttonIndex);
}

void AlertView::setPresenter(Presenter newPresenter)
{
    presenter() = std::move(newPresenter);
}

}
