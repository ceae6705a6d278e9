#include "widget/support/phone_fixture.h"

#include <cmath>

namespace kavrin::testing {
namespace {

using PagingTest = PhoneFixture;
using weeapp::sys::Value;

// The page is offset ÷ width rounded, a half up, pinned into the pages by the page control.
TEST_F(PagingTest, PageFollowsTheOffset)
{
    writeFavorites(numberedFavorites(12));
    controller->view();
    weeapp::ui::ScrollView& scrollView = *controller->scrollView;
    const std::vector<std::pair<float, int>> standard { { 0, 0 }, { 157.9f, 0 }, { 158, 1 }, { 474, 2 }, { 632, 2 },
        { -200, 0 }, { 5000, 2 }, { 1e30f, 2 }, { -1e30f, 0 }, { 474, 2 }, { NAN, 0 } };
    for (const auto& [offset, page] : standard) {
        scrollView.setContentOffset({ offset, 0 });
        EXPECT_EQ(controller->pageControl->currentPage(), page) << offset;
    }
    scrollView.endDecelerating();
    EXPECT_EQ(controller->pageControlUsed, weeapp::sys::NO);

    writeSettings({ { "metroStyle", Value::boolean(true) } });
    writeFavorites(numberedFavorites(30));
    controller->buildGroundView();
    controller->buildView();
    EXPECT_EQ(controller->pageControl->currentPage(), 0);
    scrollView.setContentOffset({ 640, 0 });
    EXPECT_EQ(controller->pageControl->currentPage(), 2);
    EXPECT_TRUE(controller->pageControl->isHidden());
}

// With pageControlUsed set, or a scroll view without width, the page control is left alone;
// the end of the scroll's deceleration clears pageControlUsed, and the page follows again.
TEST_F(PagingTest, LeftAloneWhenUsedOrWithoutWidth)
{
    writeFavorites(numberedFavorites(12));
    controller->view();
    controller->pageControlUsed = weeapp::sys::YES;
    controller->scrollView->setContentOffset({ 316, 0 });
    EXPECT_EQ(controller->pageControl->currentPage(), 0);
    controller->scrollView->endDecelerating();
    EXPECT_EQ(controller->pageControlUsed, weeapp::sys::NO);
    controller->scrollView->setContentOffset({ 632, 0 });
    EXPECT_EQ(controller->pageControl->currentPage(), 2);
    controller->scrollView->setContentOffset({ 0, 0 });
    controller->scrollView->setFrame({ 0, 0, 0, 110 });
    controller->scrollView->setContentOffset({ 316, 0 });
    EXPECT_EQ(controller->pageControl->currentPage(), 0);
}

}
}
