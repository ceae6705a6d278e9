#include "controller/kavrin_controller.h"

#include <cmath>
#include <limits>

namespace kavrin {

namespace {

// The page under the offset: offset ÷ width rounded to the nearest page, a half rounding up,
// in 32-bit float arithmetic. Offsets beyond any page count pin to the integer range.
std::int32_t pageAtOffset(float offset, float width)
{
    const float q = std::floor((offset - width * 0.5f) / width);
    const double page = static_cast<double>(q) + 1.0;
    if (std::isnan(page))
        return 0;
    if (page <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (page >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(page);
}

}

void KavrinController::scrollViewDidScroll(ui::ScrollView*)
{
    if (pageControlUsed)
        return;
    const float width = scrollView->frame().width();
    // A scroll view without width has no pages to tell apart.
    if (width == 0.0f)
        return;
    pageControl->setCurrentPage(pageAtOffset(scrollView->contentOffset().x, width));
}

void KavrinController::scrollViewDidEndDecelerating(ui::ScrollView*)
{
    pageControlUsed = sys::NO;
}

}
