#include <weeapp/ui/views/button.h>

namespace weeapp::ui {

std::shared_ptr<Button> Button::buttonWithType(int)
{
    return make<Button>();
}

void Button::setImage(ImagePtr image, unsigned state)
{
    if (image)
        m_images[state] = std::move(image);
    else
        m_images.erase(state);
}

ImagePtr Button::imageForState(unsigned state) const
{
    auto it = m_images.find(state);
    if (it != m_images.end())
        return it->second;
    // A state without an image of its own shows the normal one.
    if (state != ControlStateNormal)
        return imageForState(ControlStateNormal);
    return nullptr;
}

void Button::setTitle(std::optional<std::string> title, unsigned state)
{
    if (title)
        m_titles[state] = std::move(*title);
    else
        m_titles.erase(state);
}

std::optional<std::string> Button::titleForState(unsigned state) const
{
    auto it = m_titles.find(state);
    if (it != m_titles.end())
        return it->second;
    if (state != ControlStateNormal)
        return titleForState(ControlStateNormal);
    return std::nullopt;
}

}
