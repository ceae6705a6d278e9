#include <weeapp/ui/views/page_control.h>
#include <weeapp/ui/views/scroll_view.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace weeapp::ui;

struct RecordingDelegate final : ScrollViewDelegate {
    std::vector<float> offsets;
    int ends { 0 };
    void scrollViewDidScroll(ScrollView* view) override { offsets.push_back(view->contentOffset().x); }
    void scrollViewDidEndDecelerating(ScrollView*) override { ++ends; }
};

// Every offset change reaches the delegate after the offset is set; a destroyed delegate is
// never called, and the scroll view's bounds follow the offset.
TEST(ScrollView, TellsLiveDelegateOnly)
{
    auto scroll = ScrollView::create({ 0, 0, 316, 110 });
    auto delegate = std::make_unique<RecordingDelegate>();
    scroll->setDelegate(delegate.get());
    scroll->setContentOffset({ 158, 0 });
    scroll->setContentOffset({ 158, 0 });
    scroll->endDecelerating();
    EXPECT_EQ(delegate->offsets, (std::vector<float> { 158, 158 }));
    EXPECT_EQ(delegate->ends, 1);
    EXPECT_EQ(scroll->bounds(), (Rect { 158, 0, 316, 110 }));

    delegate.reset();
    EXPECT_EQ(scroll->delegate(), nullptr);
    scroll->setContentOffset({ 316, 0 }); // would reach freed memory under the sanitizer
    scroll->endDecelerating();
    EXPECT_EQ(scroll->contentOffset(), (Point { 316, 0 }));
}

// The current page is pinned into 0 ... pages - 1 whenever either side changes, and to 0 without
// pages.
TEST(PageControl, PinsCurrentPage)
{
    auto pages = PageControl::create();
    pages->setNumberOfPages(1);
    pages->setCurrentPage(1);
    EXPECT_EQ(pages->currentPage(), 0);
    pages->setNumberOfPages(3);
    EXPECT_EQ(pages->currentPage(), 0);
    pages->setCurrentPage(-1);
    EXPECT_EQ(pages->currentPage(), 0);
    pages->setCurrentPage(7);
    EXPECT_EQ(pages->currentPage(), 2);
    pages->setNumberOfPages(2);
    EXPECT_EQ(pages->currentPage(), 1);
    pages->setNumberOfPages(0);
    EXPECT_EQ(pages->currentPage(), 0);
    pages->setCurrentPage(4);
    EXPECT_EQ(pages->currentPage(), 0);
    pages->setNumberOfPages(-5);
    EXPECT_EQ(pages->numberOfPages(), 0);
}

}
