// A widget with one of each fault an accessibility audit finds, on a white ground: a button too
// small to touch, a button nobody named, grey text too faint, a name cut short that its
// button's label leaves out, two buttons over each other and two texts read in the wrong order.
#include <weeapp/plugin/plugin_entry.h>

#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/label.h>

#include <string>
#include <string_view>

namespace {

std::shared_ptr<weeapp::ui::Label> text(weeapp::ui::Rect frame, int tag, std::string words, weeapp::ui::ColorPtr colour)
{
    auto label = weeapp::ui::Label::create(frame);
    label->setTag(tag);
    label->setText(std::move(words));
    label->setTextColor(std::move(colour));
    label->setFont(weeapp::ui::Font::fontWithNameSize("Helvetica", 12));
    return label;
}

std::shared_ptr<weeapp::ui::Button> button(weeapp::ui::Rect frame, int tag, std::optional<std::string> label)
{
    auto made = weeapp::ui::Button::buttonWithType(0);
    made->setFrame(frame);
    made->setTag(tag);
    if (label)
        made->setAccessibilityLabel(std::move(label));
    return made;
}

class AuditController final : public weeapp::BBWeeAppController {
public:
    weeapp::ui::ViewPtr view() override
    {
        if (m_view)
            return m_view;
        m_view = weeapp::ui::View::create({ 2, 0, 316, 100 });
        m_view->setBackgroundColor(weeapp::ui::Color::whiteColor());
        m_view->addSubview(button({ 10, 10, 30, 30 }, 1, "Small"));
        m_view->addSubview(button({ 60, 10, 44, 44 }, 2, std::nullopt));
        m_view->addSubview(text({ 120, 10, 80, 20 }, 3, "Faint", weeapp::ui::Color::colorWithRedGreenBlueAlpha(0.6f, 0.6f, 0.6f, 1)));
        m_view->addSubview(text({ 120, 40, 80, 20 }, 4, "Clear", weeapp::ui::Color::blackColor()));
        auto named = button({ 210, 10, 50, 50 }, 6, "Bart");
        named->addSubview(text({ 0, 0, 44, 20 }, 5, "Bartholomew Longname", weeapp::ui::Color::blackColor()));
        m_view->addSubview(named);
        m_view->addSubview(button({ 262, 10, 50, 44 }, 7, "One"));
        m_view->addSubview(button({ 262, 46, 50, 44 }, 8, "Two"));
        // Read by their holders' places, each holder's texts in turn: the lower text first.
        auto first = weeapp::ui::View::create({ 0, 56, 110, 44 });
        first->addSubview(text({ 4, 24, 100, 16 }, 10, "Later", weeapp::ui::Color::blackColor()));
        auto second = weeapp::ui::View::create({ 0, 60, 110, 20 });
        second->addSubview(text({ 4, 0, 100, 16 }, 11, "Sooner", weeapp::ui::Color::blackColor()));
        m_view->addSubview(first);
        m_view->addSubview(second);
        return m_view;
    }
    float viewHeight() override { return 100; }
    bool respondsToSelector(std::string_view selector) const override { return selector == "view" || selector == "viewHeight"; }

private:
    weeapp::ui::ViewPtr m_view;
};

}

extern "C" __attribute__((visibility("default"))) weeapp::BBWeeAppController* WeeAppCreateController()
{
    return new AuditController();
}
