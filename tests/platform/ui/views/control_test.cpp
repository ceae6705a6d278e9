#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/page_control.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace weeapp::ui;

struct Target final : weeapp::sys::Object {
    std::vector<int> senders;
    void tapped(Control* sender) { senders.push_back(sender->tag()); }
    void tappedAndRemoved(Control* sender)
    {
        senders.push_back(sender->tag());
        sender->removeFromSuperview();
    }
};

// Actions run for the matching events only, with the control as sender; an action whose target
// is gone is skipped.
TEST(Control, TargetActionFollowsEventsAndLifetime)
{
    auto button = Button::buttonWithType(0);
    button->setTag(3);
    auto target = std::make_unique<Target>();
    auto other = std::make_unique<Target>();
    button->addTarget(target.get(), &Target::tapped, ControlEventTouchUpInside);
    button->addTarget(other.get(), &Target::tapped, ControlEventTouchDown);

    button->sendActionsForControlEvents(ControlEventTouchUpInside);
    button->sendActionsForControlEvents(64);
    EXPECT_EQ(target->senders, (std::vector<int> { 3, 3 }));
    EXPECT_TRUE(other->senders.empty());

    target.reset();
    button->sendActionsForControlEvents(ControlEventTouchUpInside | ControlEventTouchDown);
    EXPECT_EQ(other->senders, (std::vector<int> { 3 }));
    EXPECT_EQ(button->targetCount(), 1u);
}

// An action that removes its own button (a rebuild from a tap) finishes safely.
TEST(Control, ActionMayRemoveItsSender)
{
    auto parent = View::create();
    Target target;
    {
        auto button = Button::buttonWithType(0);
        button->addTarget(&target, &Target::tappedAndRemoved, ControlEventTouchUpInside);
        button->addTarget(&target, &Target::tapped, ControlEventTouchUpInside);
        parent->addSubview(button);
    }
    static_cast<Control*>(parent->subviews().front().get())->sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_EQ(target.senders.size(), 2u);
    EXPECT_TRUE(parent->subviews().empty());
}

// Only controls answer the action selector; a page control carries no actions by default.
TEST(Control, RespondsToActionSelector)
{
    auto button = Button::buttonWithType(0);
    EXPECT_TRUE(button->respondsToSelector("sendActionsForControlEvents:"));
    EXPECT_FALSE(View::create()->respondsToSelector("sendActionsForControlEvents:"));
    auto pages = PageControl::create();
    EXPECT_TRUE(pages->respondsToSelector("sendActionsForControlEvents:"));
    pages->sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_EQ(pages->targetCount(), 0u);
}

}
