#include "bench_support.h"

#include <array>

namespace kavrin::bench {

namespace {

constexpr std::array kSizes { 12, 50, 200, 1000 };
constexpr std::array kLooks { Look::Standard, Look::StandardWithBadges, Look::Metro1, Look::Metro2, Look::Metro3, Look::Metro4 };

// The settings lookups of a background pass and a tile rebuild together. Standard: the metro
// colour, "metroStyle", "fiveIcons", "showBg", then "metroStyle" again and "showLabels" for
// every tile. Metro: the colour, "metroStyle", the pattern and the colour twice more, then
// "metroStyle", the pattern and "animateMetrosOff".
int buildLookups(bool metro, int favorites)
{
    return metro ? 8 : 5 + favorites;
}

// A fresh controller's first view: background pass and tile rebuild, one photo a tile. The
// controller of the run before is released, and the new one made, untimed.
Work firstView(int favorites)
{
    auto controller = std::make_shared<std::unique_ptr<KavrinController>>();
    return Work {
        [controller] {
            controller->reset();
            BenchEnvironment::shared().reset();
            *controller = std::make_unique<KavrinController>();
        },
        [controller] { benchmark::DoNotOptimize((*controller)->view().get()); },
        [controller, favorites] {
            const std::size_t tiles = *controller ? (*controller)->scrollView->subviews().size() : 0;
            return tiles == 2 * static_cast<std::size_t>(favorites) ? std::string() : "the view does not hold a button and a label for every favorite";
        },
    };
}

}

FloorPlan viewFloor(bool metro, int favorites)
{
    return { .settingsLookups = buildLookups(metro, favorites), .favoritesReads = 1, .photoQueries = favorites };
}

void registerViewBenchmarks()
{
    for (const Look look : kLooks) {
        for (const int favorites : kSizes) {
            registerWithFloor(
                std::string("view/") + lookName(look) + "/" + std::to_string(favorites), favorites, settingsFor(look),
                [favorites] { return firstView(favorites); }, viewFloor(isMetro(look), favorites));
        }
    }
}

}
