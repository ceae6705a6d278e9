#pragma once

#include <weeapp/ui/images/image.h>
#include <weeapp/ui/views/control.h>

#include <map>
#include <optional>
#include <string>

namespace weeapp::ui {

enum ControlState : unsigned { ControlStateNormal = 0 };

class Button final : public Control {
public:
    // buttonWithType: 0, a plain button with no title or image.
    static std::shared_ptr<Button> buttonWithType(int type);
    std::string_view className() const override { return "Button"; }
    void accept(ViewVisitor& visitor) const override { visitor.visitButton(*this); }

    void setImage(ImagePtr image, unsigned state);
    ImagePtr imageForState(unsigned state) const;
    // The image drawn now: the normal state's.
    ImagePtr currentImage() const { return imageForState(ControlStateNormal); }

    // setTitle:forState: a state without a title of its own shows the normal one.
    void setTitle(std::optional<std::string> title, unsigned state);
    std::optional<std::string> titleForState(unsigned state) const;
    std::optional<std::string> currentTitle() const { return titleForState(ControlStateNormal); }

protected:
    bool defaultIsAccessibilityElement() const override { return true; }
    std::optional<std::string> defaultAccessibilityLabel() const override { return currentTitle(); }
    AccessibilityTraits defaultAccessibilityTraits() const override { return AccessibilityTraitButton; }

private:
    Button()
        : Control({}) { }
    friend class View;
    std::map<unsigned, ImagePtr> m_images;
    std::map<unsigned, std::string> m_titles;
};

}
