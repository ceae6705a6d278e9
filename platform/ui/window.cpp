#include <weeapp/ui/window.h>

namespace ui {

std::shared_ptr<Window> Window::create(Rect frame)
{
    return make<Window>(frame);
}

}
