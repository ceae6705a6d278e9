#include <weeapp/ui/views/window.h>

namespace weeapp::ui {

std::shared_ptr<Window> Window::create(Rect frame)
{
    return make<Window>(frame);
}

}
