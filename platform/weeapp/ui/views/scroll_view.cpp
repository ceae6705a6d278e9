#include <weeapp/ui/views/scroll_view.h>

#include <algorithm>
#include <cmath>

namespace weeapp::ui {

std::shared_ptr<ScrollView> ScrollView::create(Rect frame)
{
    return make<ScrollView>(frame);
}

void ScrollView::setContentOffset(Point offset)
{
    setBoundsOrigin(offset);
    ViewPtr keep = weak_from_this().lock(); // the delegate may drop the last reference
    if (ScrollViewDelegate* receiver = delegate())
        receiver->scrollViewDidScroll(this);
}

void ScrollView::endDecelerating()
{
    ViewPtr keep = weak_from_this().lock();
    if (ScrollViewDelegate* receiver = delegate())
        receiver->scrollViewDidEndDecelerating(this);
}

bool ScrollView::accessibilityScroll(AccessibilityScrollDirection direction)
{
    const double width = frame().width();
    if (!(width > 0) || !std::isfinite(width))
        return false;
    constexpr double kMostPages = 1e9;
    const double pages = std::ceil(static_cast<double>(m_contentSize.width) / width);
    if (!std::isfinite(pages) || pages < 2)
        return false;
    const double lastPage = std::min(pages, kMostPages) - 1;
    const double current = std::round(static_cast<double>(contentOffset().x) / width);
    const double from = std::isfinite(current) ? std::clamp(current, 0.0, lastPage) : 0.0;
    const double to = from + (direction == AccessibilityScrollDirection::Next ? 1.0 : -1.0);
    if (to < 0 || to > lastPage)
        return false;
    ViewPtr keep = weak_from_this().lock();
    setContentOffset({ static_cast<float>(to * width), contentOffset().y });
    endDecelerating();
    return true;
}

}
