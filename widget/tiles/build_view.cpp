#include "controller/kavrin_controller.h"

#include "sources/favorites_list.h"
#include "tiles/tile_geometry.h"
#include <weeapp/sys/events/run_loop.h>

#include <cmath>

namespace kavrin {

void KavrinController::buildView()
{
    // The old tiles go before any new one is made, so a rebuild never holds two sets.
    scrollView->removeSubviewsIf([](const weeapp::ui::View& tile) { return tile.tag() != kKeptViewTag; });
    buttons = std::make_shared<ButtonArray>();
    rawElementsArray = loadFavoritesList();

    const auto height = static_cast<float>(viewH);
    if (!checkSetting("metroStyle")) {
        buildStandardTiles();
        // The page count in 32-bit float arithmetic, rounded up; no page size, no pages.
        std::int32_t pages = 0;
        if (contactsPerPage > 0) {
            const float count = static_cast<float>(static_cast<std::uint32_t>(weeapp::sys::count(rawElementsArray)));
            pages = static_cast<std::int32_t>(std::ceil(count / static_cast<float>(contactsPerPage)));
        }
        pageControl->setNumberOfPages(pages);
        scrollView->setContentSize({ static_cast<float>(static_cast<double>(pages) * kStandardPageWidth), height });
        return;
    }

    const std::int32_t pages = buildMetroTiles() + 1;
    pageControl->setNumberOfPages(pages);
    scrollView->setContentSize({ static_cast<float>(static_cast<double>(pages) * kMetroPageWidth), height });
    if (!checkSetting("animateMetrosOff"))
        weeapp::sys::performSelectorWithObjectAfterDelay(this, &KavrinController::flipStyle, nullptr, kFlipDelay);
}

}
