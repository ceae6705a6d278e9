#pragma once

#include "ui/control.h"
#include "ui/image.h"

#include <map>

namespace ui {

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

private:
    Button() : Control({ }) { }
    friend class View;
    std::map<unsigned, ImagePtr> m_images;
};

}
