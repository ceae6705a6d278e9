#include <weeapp/ui/views/alert_view.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace weeapp::ui;

struct Chooser final : AlertViewDelegate {
    std::vector<int> pressed;
    void alertViewClickedButtonAtIndex(AlertView*, int index) override { pressed.push_back(index); }
};

class AlertViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        AlertView::setPresenter([this](std::shared_ptr<AlertView> alert) { m_shown.push_back(std::move(alert)); });
    }
    void TearDown() override { AlertView::setPresenter(nullptr); }

    std::vector<std::shared_ptr<AlertView>> m_shown;
};

// The cancel button is 0 and the others follow in the order given and added; show hands the
// alert to the presenter, and a press reaches the delegate with its index once.
TEST_F(AlertViewTest, ButtonsIndexAndPressesReachDelegate)
{
    Chooser chooser;
    auto alert = AlertView::create("Anna", std::nullopt, &chooser, "Cancel", { "Call" });
    EXPECT_EQ(alert->addButtonWithTitle("Message"), 2);
    EXPECT_EQ(alert->addButtonWithTitle("Mail"), 3);
    alert->setTag(4);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string> { "Cancel", "Call", "Message", "Mail" }));
    EXPECT_FALSE(alert->isVisible());

    alert->show();
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown.front(), alert);
    EXPECT_TRUE(alert->isVisible());

    alert.reset();
    m_shown.front()->dismissWithClickedButtonIndex(4); // no such button
    EXPECT_TRUE(chooser.pressed.empty());
    m_shown.front()->dismissWithClickedButtonIndex(2);
    EXPECT_EQ(chooser.pressed, (std::vector<int> { 2 }));
    EXPECT_FALSE(m_shown.front()->isVisible());
    EXPECT_EQ(m_shown.front()->tag(), 4);

    // Without a cancel title the first other button is 0.
    auto plain = AlertView::create(std::nullopt, std::nullopt, nullptr, std::nullopt, { "OK" });
    EXPECT_EQ(plain->cancelButtonIndex(), -1);
    EXPECT_EQ(plain->addButtonWithTitle("More"), 1);
    plain->dismissWithClickedButtonIndex(0); // no delegate: nothing to tell
}

// A delegate destroyed while its alert is on screen is not called when a button is pressed.
TEST_F(AlertViewTest, DestroyedDelegateIsNotCalled)
{
    auto chooser = std::make_unique<Chooser>();
    auto alert = AlertView::create("Anna", std::nullopt, chooser.get(), "Cancel");
    alert->show();
    chooser.reset();
    EXPECT_EQ(alert->delegate(), nullptr);
    alert->dismissWithClickedButtonIndex(0); // would reach freed memory under the sanitizer
    EXPECT_FALSE(alert->isVisible());
}

}
