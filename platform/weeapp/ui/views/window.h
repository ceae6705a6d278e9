#pragma once

#include <weeapp/ui/views/view.h>

namespace weeapp::ui {

// The root of a view tree on screen; the host owns it.
class Window final : public View {
public:
    static std::shared_ptr<Window> create(Rect frame);
    std::string_view className() const override { return "Window"; }
    Window* window() const override { return const_cast<Window*>(this); }

private:
    explicit Window(Rect frame)
        : View(frame) { }
    friend class View;
};

}
