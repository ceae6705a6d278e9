#include "controller/kavrin_controller.h"

#include "resources/bundle_resources.h"
#include "tiles/tile_geometry.h"
#include <weeapp/ui/image_view.h>

namespace kavrin {

namespace {

void configureScrollView(ui::ScrollView& scrollView, ui::ScrollViewDelegate* delegate)
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
void configurePageControl(ui::PageControl& pageControl, std::int32_t viewH, bool hidden)
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
    const std::vector<ui::ViewPtr> children = _view->subviews();
    for (const ui::ViewPtr& child : children)
        child->removeFromSuperview();
    if (buttons)
        buttons->clear();

    metroBGColor = getMetroBackgroundColor();

    if (checkSetting("metroStyle")) {
        isMetroStyle = sys::YES;
        viewH = sys::intValue(sys::objectForKey(getMetroPattern(), "viewHeight"));
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

    isMetroStyle = sys::NO;
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
    scrollView->setBackgroundColor(ui::Color::clearColor());
    configurePageControl(*pageControl, viewH, false);
    _view->addSubview(pageControl);

    if (checkSetting("showBg")) {
        // A missing image file still gives a sized, empty image view.
        const ui::ImagePtr file = ui::Image::imageWithContentsOfFile(kBackgroundImagePath);
        const ui::ImagePtr background = file ? file->resizableImageWithCapInsets({ 5, 5, 5, 5 }) : nullptr;
        const auto imageView = ui::ImageView::create(background);
        imageView->setFrame({ 0, 0, _view->frame().width(), _view->frame().height() });
        _view->addSubview(imageView);
        bgIsVisible = sys::YES;
    } else {
        bgIsVisible = sys::NO;
    }
    _view->addSubview(scrollView);
}

}
