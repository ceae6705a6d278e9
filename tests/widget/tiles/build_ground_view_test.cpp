#include "widget/support/phone_fixture.h"

#include <weeapp/ui/inspection/view_dump.h>
#include <weeapp/ui/views/image_view.h>

namespace kavrin::testing {
namespace {

using BackgroundViewTest = PhoneFixture;
using weeapp::sys::Value;

std::vector<std::string> childClasses(const weeapp::ui::View& view)
{
    std::vector<std::string> classes;
    for (const weeapp::ui::ViewPtr& child : view.subviews())
        classes.emplace_back(child->className());
    return classes;
}

// The standard look without settings, as the host first sees it.
TEST_F(BackgroundViewTest, StandardLookDefaults)
{
    const weeapp::ui::ViewPtr container = controller->view();
    EXPECT_EQ(container->frame(), (weeapp::ui::Rect { 2, 2, 316, 110 }));
    EXPECT_EQ(controller->scrollView->frame(), (weeapp::ui::Rect { 0, 0, 316, 110 }));
    EXPECT_EQ(controller->pageControl->frame(), (weeapp::ui::Rect { 0, 95, 316, 15 }));
    EXPECT_FALSE(controller->pageControl->isHidden());
    EXPECT_EQ(controller->pageControl->tag(), 9999);
    EXPECT_EQ(controller->pageControl->currentPage(), 0);
    EXPECT_EQ(childClasses(*container), (std::vector<std::string> { "PageControl", "ScrollView" }));
    EXPECT_EQ(controller->contactsPerPage, 4);
    EXPECT_EQ(controller->distance, 12);
    EXPECT_EQ(controller->bgIsVisible, weeapp::sys::NO);
    EXPECT_EQ(controller->isMetroStyle, weeapp::sys::NO);
    EXPECT_EQ(container->backgroundColor(), nullptr);

    const weeapp::ui::ScrollView& scrollView = *controller->scrollView;
    EXPECT_TRUE(scrollView.isPagingEnabled());
    EXPECT_FALSE(scrollView.showsHorizontalScrollIndicator());
    EXPECT_FALSE(scrollView.showsVerticalScrollIndicator());
    EXPECT_FALSE(scrollView.scrollsToTop());
    EXPECT_TRUE(scrollView.isExclusiveTouch());
    // A swipe that starts on a tile scrolls rather than taps it: touches wait, and may be taken back.
    EXPECT_TRUE(scrollView.isUserInteractionEnabled());
    EXPECT_TRUE(scrollView.delaysContentTouches());
    EXPECT_TRUE(scrollView.canCancelContentTouches());
    EXPECT_EQ(scrollView.delegate(), controller.get());
    EXPECT_EQ(scrollView.backgroundColor(), weeapp::ui::Color::clearColor());
}

// Five a page and the stretched background image between page control and scroll view; a
// missing image file still leaves a sized, empty image view.
TEST_F(BackgroundViewTest, FiveIconsAndBackgroundImage)
{
    writeSettings({ { "fiveIcons", Value::boolean(true) }, { "showBg", Value::boolean(true) } });
    const weeapp::ui::ViewPtr container = controller->view();
    EXPECT_EQ(controller->viewH, 93);
    EXPECT_EQ(controller->distance, 5);
    EXPECT_EQ(controller->pageControl->frame().y(), 78.0f);
    EXPECT_EQ(childClasses(*container), (std::vector<std::string> { "PageControl", "ImageView", "ScrollView" }));
    auto* imageView = dynamic_cast<weeapp::ui::ImageView*>(container->subviews()[1].get());
    ASSERT_NE(imageView, nullptr);
    EXPECT_EQ(imageView->image(), nullptr);
    EXPECT_EQ(imageView->frame(), (weeapp::ui::Rect { 0, 0, 316, 93 }));
    EXPECT_EQ(controller->bgIsVisible, weeapp::sys::YES);

    writeBundleImages();
    controller->buildGroundView();
    controller->buildView();
    imageView = dynamic_cast<weeapp::ui::ImageView*>(container->subviews()[1].get());
    ASSERT_NE(imageView->image(), nullptr);
    EXPECT_TRUE(imageView->image()->isResizable());
    EXPECT_EQ(imageView->image()->capInsets(), (weeapp::ui::EdgeInsets { 5, 5, 5, 5 }));
    EXPECT_EQ(container->subviews().size(), 3u);
}

// The metro look sizes everything by the pattern and paints the metro colour; the standard-look
// fields keep their last values, and going back leaves the container's colour.
TEST_F(BackgroundViewTest, MetroLookAndBack)
{
    writeSettings({ { "metroStyle", Value::boolean(true) }, { "metroBackground", Value::integer(4) } });
    const weeapp::ui::ViewPtr container = controller->view();
    EXPECT_EQ(container->frame(), (weeapp::ui::Rect { 0, 0, 320, 106 }));
    EXPECT_EQ(controller->scrollView->frame(), (weeapp::ui::Rect { 0, 0, 320, 106 }));
    EXPECT_EQ(controller->pageControl->frame(), (weeapp::ui::Rect { 0, 91, 316, 15 }));
    EXPECT_TRUE(controller->pageControl->isHidden());
    EXPECT_EQ(childClasses(*container), (std::vector<std::string> { "ScrollView", "PageControl" }));
    EXPECT_EQ(container->backgroundColor(), weeapp::ui::Color::magentaColor());
    EXPECT_EQ(controller->scrollView->backgroundColor(), weeapp::ui::Color::magentaColor());
    EXPECT_EQ(controller->contactsPerPage, 0);
    EXPECT_EQ(controller->distance, 0);

    writeSettings({ { "metroBackground", Value::integer(4) } });
    controller->buildGroundView();
    controller->buildView();
    EXPECT_EQ(container->backgroundColor(), weeapp::ui::Color::magentaColor());
    EXPECT_EQ(controller->scrollView->backgroundColor(), weeapp::ui::Color::clearColor());
    EXPECT_EQ(controller->metroBGColor, weeapp::ui::Color::magentaColor());
    EXPECT_EQ(controller->isMetroStyle, weeapp::sys::NO);
}

// The dump a host prints shows the tree with its classes, frames and colours.
TEST_F(BackgroundViewTest, DumpShowsTheTree)
{
    writeFavorites(numberedFavorites(1));
    const std::string dump = weeapp::ui::dumpViewTree(*controller->view());
    EXPECT_EQ(dump.find('\n'), std::string::npos);
    EXPECT_NE(dump.find(R"("class": "PageControl")"), std::string::npos) << dump;
    EXPECT_NE(dump.find(R"("frame": [12, 12, 64, 64])"), std::string::npos) << dump;
    EXPECT_NE(dump.find(R"("text": "Person 0")"), std::string::npos) << dump;
}

}
}
