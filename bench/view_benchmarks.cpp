#include "bench_support.h"
#include "table_reporter.h"

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

// A fresh controller's first view: background pass and tile rebuild, one photo a tile.
void firstView(benchmark::State& state, int favorites)
{
    std::unique_ptr<KavrinController> controller;
    for (auto _ : state) {
        state.PauseTiming();
        controller.reset();
        BenchEnvironment::shared().reset();
        controller = std::make_unique<KavrinController>();
        state.ResumeTiming();
        benchmark::DoNotOptimize(controller->view().get());
    }
    state.counters[TableReporter::kFavoritesCounter] = favorites;
    const std::size_t tiles = controller ? controller->scrollView->subviews().size() : 0;
    if (tiles != 2 * static_cast<std::size_t>(favorites))
        state.SkipWithError("the view does not hold a button and a label for every favorite");
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
            registerWithFloor(std::string("view/") + lookName(look) + "/" + std::to_string(favorites), favorites, settingsFor(look),
                [favorites](benchmark::State& state) { firstView(state, favorites); }, viewFloor(isMetro(look), favorites));
        }
    }
}

}
