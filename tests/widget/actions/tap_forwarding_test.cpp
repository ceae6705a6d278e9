#include "widget/support/phone_fixture.h"

namespace kavrin::testing {
namespace {

using TapForwardingTest = PhoneFixture;
using weeapp::sys::Value;

// A tap by location reaches the tile under it in either look, scrolled or not; elsewhere, or
// without a window, nothing happens; no URL is ever returned.
TEST_F(TapForwardingTest, DeliversTheTapToTheTileUnderThePoint)
{
    writeFavorites(numberedFavorites(6));
    controller->view();
    EXPECT_EQ(controller->launchURLForTapLocation({ 40, 40 }), nullptr);
    EXPECT_TRUE(openedURLs.empty());

    showWidget();
    EXPECT_EQ(controller->launchURLForTapLocation({ 40, 40 }), nullptr);
    EXPECT_EQ(controller->launchURLForTapLocation({ 2, 2 }), nullptr);
    EXPECT_EQ(controller->launchURLForTapLocation({ 40, 100 }), nullptr);
    controller->scrollView->setContentOffset({ 316, 0 });
    controller->launchURLForTapLocation({ 40, 40 });
    EXPECT_EQ(openedURLs, (std::vector<std::string> { "tel:+491701000", "tel:+491701004" }));

    writeSettings({ { "metroStyle", Value::boolean(true) } });
    controller->buildGroundView();
    controller->buildView();
    controller->scrollView->setContentOffset({ 0, 0 });
    controller->launchURLForTapLocation({ 130, 70 });
    EXPECT_EQ(openedURLs.back(), "tel:+491701005");
}

}
}
