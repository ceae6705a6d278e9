// The smallest widget: one plain view of a colour chosen when it is built, so that two builds
// of it tell which code a host runs.
#include <weeapp/plugin/plugin_entry.h>

#include <string_view>

#ifndef TINY_RED
#error "TINY_RED is 1 for the red build and 0 for the blue one"
#endif

namespace {

class TinyController final : public weeapp::BBWeeAppController {
public:
    weeapp::ui::ViewPtr view() override
    {
        if (!m_view) {
            m_view = weeapp::ui::View::create({ 2, 0, 316, 60 });
            m_view->setBackgroundColor(weeapp::ui::Color::colorWithRedGreenBlueAlpha(TINY_RED ? 1 : 0, 0, TINY_RED ? 0 : 1, 1));
        }
        return m_view;
    }
    float viewHeight() override { return 60; }
    bool respondsToSelector(std::string_view selector) const override { return selector == "view" || selector == "viewHeight"; }

private:
    weeapp::ui::ViewPtr m_view;
};

}

extern "C" __attribute__((visibility("default"))) weeapp::BBWeeAppController* WeeAppCreateController()
{
    return new TinyController();
}
