#pragma once

#include <weeapp/ui/images/image.h>
#include <weeapp/ui/views/view.h>

namespace weeapp::ui {

class ImageView final : public View {
public:
    // initWithImage: the frame takes the image's size.
    static std::shared_ptr<ImageView> create(ImagePtr image);
    std::string_view className() const override { return "ImageView"; }
    void accept(ViewVisitor& visitor) const override { visitor.visitImageView(*this); }

    const ImagePtr& image() const { return m_image; }
    void setImage(ImagePtr image) { m_image = std::move(image); }

protected:
    // An image is no element by default, but says what it is when made one.
    AccessibilityTraits defaultAccessibilityTraits() const override { return AccessibilityTraitImage; }

private:
    explicit ImageView(ImagePtr image);
    friend class View;
    ImagePtr m_image;
};

}
