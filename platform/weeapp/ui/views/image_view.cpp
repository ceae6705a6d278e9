#include <weeapp/ui/views/image_view.h>

namespace weeapp::ui {

std::shared_ptr<ImageView> ImageView::create(ImagePtr image)
{
    return make<ImageView>(std::move(image));
}

ImageView::ImageView(ImagePtr image)
    : View(image ? Rect(0, 0, image->size().width, image->size().height) : Rect())
    , m_image(std::move(image))
{
    // Image views let touches through to what lies beneath them.
    setUserInteractionEnabled(false);
}

}
