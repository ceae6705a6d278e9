#include "ui/scroll_view.h"

namespace ui {

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

}
