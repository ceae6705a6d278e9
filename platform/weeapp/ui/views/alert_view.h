#pragma once

#include <weeapp/sys/object.h>
#include <weeapp/sys/weak_ref.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace weeapp::ui {

class AlertView;

// UIAlertViewDelegate; held without ownership, dropped once destroyed.
class AlertViewDelegate : public virtual sys::Object {
public:
    virtual void alertViewClickedButtonAtIndex(AlertView*, int buttonIndex) = 0;
};

class AlertView final : public sys::Object, public std::enable_shared_from_this<AlertView> {
public:
    // initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles: the cancel button,
    // when given, takes index 0 and the other buttons follow.
    static std::shared_ptr<AlertView> create(std::optional<std::string> title, std::optional<std::string> message, AlertViewDelegate* delegate, std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles = {});

    // addButtonWithTitle: returns the new button's index.
    int addButtonWithTitle(std::string title);

    const std::optional<std::string>& title() const { return m_title; }
    const std::optional<std::string>& message() const { return m_message; }
    const std::vector<std::string>& buttonTitles() const { return m_buttons; }
    int cancelButtonIndex() const { return m_cancelButtonIndex; }
    int numberOfButtons() const { return static_cast<int>(m_buttons.size()); }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    AlertViewDelegate* delegate() const { return m_delegate.get(); }
    bool isVisible() const { return m_visible; }

    // Hands the alert to the presenter, which keeps it while it is on screen.
    void show();
    // A press: the alert leaves the screen and its delegate hears of the button once. Indices
    // outside the buttons are ignored.
    void dismissWithClickedButtonIndex(int buttonIndex);

    using Presenter = std::function<void(std::shared_ptr<AlertView>)>;
    static void setPresenter(Presenter);

private:
    AlertView() = default;

    std::optional<std::string> m_title;
    std::optional<std::string> m_message;
    std::vector<std::string> m_buttons;
    int m_cancelButtonIndex { -1 };
    int m_tag { 0 };
    sys::WeakRef<AlertViewDelegate> m_delegate;
    bool m_visible { false };
};

}
