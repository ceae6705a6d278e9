#include "controller/kavrin_controller.h"

#include "resources/bundle_resources.h"
#include "tiles/tile_geometry.h"
#include <weeapp/ui/views/image_view.h>

namespace kavrin {

namespace {

void configureScrollView(weeapp::ui::ScrollView& scrollView, weeapp::ui::ScrollViewDelegate* delegate)
{
    scrollView.setPagingEnabled(true);
    scrollView.setShowsHorizontalScrollIndicator(false);
    scrollView.setShowsVerticalScrollIndicator(false);
    scrollView.setScrollsToTop(false);
    scrollView.setUserInteractionEnabled(true);
    scrollView.setDelaysContentTouches(true);
    scrollView.setExclusiveTouch(true);
    scrollView.setCanCancelContentTouches(true);
    scrollView.setDelegate(delegate);
}

// One page to begin with; asking for page 1 of one page pins the first page current, and it
// stays current when the tile build sets the real page count.
void configurePageControl(weeapp::ui::PageControl& pageControl, std::int32_t viewH, bool hidden)
{
    pageControl.setFrame({ 0, static_cast<float>(viewH - 15), static_cast<float>(kStandardPageWidth), 15 });
    pageControl.setNumberOfPages(1);
    pageControl.setCurrentPage(1);
    pageControl.setTag(kKeptViewTag);
    pageControl.setHidden(hidden);
}

}

// Everything but the tiles: clears the container, picks the look, sets the geometry fields and
// attaches the views bottom to top (metro: scroll view, page control; standard: page control,
// background image, scroll view).
void KavrinController::buildGroundView()
{
    const std::vector<weeapp::ui::ViewPtr> children = _view->subviews();
    for (const weeapp::ui::ViewPtr& child : children)
        child->removeFromSuperview();
    if (buttons)
        buttons->clear();

    metroBGColor = getMetroBackgroundColor();

    if (checkSetting("metroStyle")) {
        isMetroStyle = weeapp::sys::YES;
        viewH = weeapp::sys::intValue(weeapp::sys::objectForKey(getMetroPattern(), "viewHeight"));
        const auto height = static_cast<float>(viewH);
        _view->setFrame({ 0, 0, static_cast<float>(kMetroPageWidth), height });
        _view->setBackgroundColor(getMetroBackgroundColor());
        scrollView->setFrame({ 0, 0, static_cast<float>(kMetroPageWidth), height });
        scrollView->setContentSize({ static_cast<float>(kMetroPageWidth), height });
        configureScrollView(*scrollView, this);
        scrollView->setBackgroundColor(getMetroBackgroundColor());
        _view->addSubview(scrollView);
        configurePageControl(*pageControl, viewH, true);
        _view->addSubview(pageControl);
        return;
    }

    isMetroStyle = weeapp::sys::NO;
    contactsPerPage = 4;
    viewH = 110;
    distance = 12;
    if (checkSetting("fiveIcons"))
        contactsPerPage = 5;
    if (contactsPerPage == 5) {
        viewH = 93;
        distance = 5;
    }
    const auto height = static_cast<float>(viewH);
    _view->setFrame({ 2, 2, static_cast<float>(kStandardPageWidth), height });
    scrollView->setFrame({ 0, 0, static_cast<float>(kStandardPageWidth), height });
    scrollView->setContentSize({ static_cast<float>(kStandardPageWidth), height });
    configureScrollView(*scrollView, this);
    scrollView->setBackgroundColor(weeapp::ui::Color::clearColor());
    configurePageControl(*pageControl, viewH, false);
    _view->addSubview(pageControl);

    if (checkSetting("showBg")) {
        // A missing image file still gives a sized, empty image view.
        const weeapp::ui::ImagePtr file = weeapp::ui::Image::imageWithContentsOfFile(kBackgroundImagePath);
        const weeapp::ui::ImagePtr background = file ? file->resizableImageWithCapInsets({ 5, 5, 5, 5 }) : nullptr;
        const auto imageView = weeapp::ui::ImageView::create(background);
        imageView->setFrame({ 0, 0, _view->frame().width(), _view->frame().height() });
        _view->addSubview(imageView);
        bgIsVisible = weeapp::sys::YES;
    } else {
        bgIsVisible = weeapp::sys::NO;
    }
    _view->addSubview(scrollView);
}

}
