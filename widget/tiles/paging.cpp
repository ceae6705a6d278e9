#include "controller/kavrin_controller.h"

#include "controller/widget_languages.h"

#include <array>
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

namespace {

struct PageWords {
    const char* language;
    const char* page;
    const char* of;
};

constexpr PageWords kEnglishPageWords { "", "page", "of" };
constexpr std::array<PageWords, 4> kTranslatedPageWords { {
    { "de", "Seite", "von" },
    { "fr", "page", "sur" },
    { "nl", "pagina", "van" },
    { "es", "página", "de" },
} };
static_assert(followsTheWidgetLanguages(kTranslatedPageWords), "the words for each language the widget speaks, in its order");

}

// "page 2 of 3" in the user's language; nothing without pages.
std::optional<std::string> KavrinController::pageControlAccessibilityValue()
{
    if (!pageControl || pageControl->numberOfPages() == 0)
        return std::nullopt;
    const PageWords& words = translationForPreferredLanguage(kTranslatedPageWords, kEnglishPageWords);
    return std::string(words.page) + ' ' + std::to_string(pageControl->currentPage() + 1) + ' ' + words.of + ' '
        + std::to_string(pageControl->numberOfPages());
}

void KavrinController::scrollViewDidScroll(weeapp::ui::ScrollView*)
{
    if (pageControlUsed)
        return;
    const float width = scrollView->frame().width();
    // A scroll view without width has no pages to tell apart.
    if (width == 0.0f)
        return;
    pageControl->setCurrentPage(pageAtOffset(scrollView->contentOffset().x, width));
}

void KavrinController::scrollViewDidEndDecelerating(weeapp::ui::ScrollView*)
{
    pageControlUsed = weeapp::sys::NO;
}

}
