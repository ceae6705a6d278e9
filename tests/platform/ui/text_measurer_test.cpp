#include <weeapp/ui/text_measurer.h>

#include <weeapp/platform_state.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace ui;

constexpr Size kBox { 200, 1000 };

std::string nameNumber(std::size_t number)
{
    return "Contact " + std::to_string(number);
}

// Its memories stay within their bounds however many texts and sizes it measures, what it
// measures again after starting over is what it measured before, and the measurer of a fresh
// platform state remembers nothing of the old one's.
TEST(TextMeasurer, MemoriesStayWithinTheirBounds)
{
    TextMeasurer& measurer = TextMeasurer::shared();
    const auto font = Font::fontWithNameSize("Helvetica", 12);
    const Size first = measurer.measure(nameNumber(0), *font, kBox, LineBreakMode::WordWrap);
    const float firstWidth = measurer.lineWidth(nameNumber(0), *font);

    std::size_t mostResults = 0;
    for (std::size_t number = 1; number <= TextMeasurer::kMaximumRememberedResults + 10; ++number) {
        measurer.measure(nameNumber(number), *font, kBox, LineBreakMode::WordWrap);
        mostResults = std::max(mostResults, measurer.rememberedResultCount());
    }
    EXPECT_LE(mostResults, TextMeasurer::kMaximumRememberedResults + 1) << "the sizes, and the one width";
    EXPECT_GT(mostResults, TextMeasurer::kMaximumRememberedResults / 2);
    EXPECT_EQ(measurer.measure(nameNumber(0), *font, kBox, LineBreakMode::WordWrap), first);

    std::size_t mostDescriptions = 0;
    for (std::size_t size = 1; size <= TextMeasurer::kMaximumCachedDescriptions + 10; ++size) {
        measurer.lineWidth("Anna", *Font::fontWithNameSize("Helvetica", 4 + static_cast<float>(size) / 8));
        mostDescriptions = std::max(mostDescriptions, measurer.cachedDescriptionCount());
    }
    EXPECT_LE(mostDescriptions, TextMeasurer::kMaximumCachedDescriptions);
    EXPECT_EQ(measurer.lineWidth(nameNumber(0), *font), firstWidth);

    weeapp::PlatformState fresh;
    EXPECT_NE(&TextMeasurer::shared(), &measurer);
    EXPECT_EQ(TextMeasurer::shared().rememberedResultCount(), 0u);
    EXPECT_EQ(TextMeasurer::shared().measure(nameNumber(0), *font, kBox, LineBreakMode::WordWrap), first);
}

}
