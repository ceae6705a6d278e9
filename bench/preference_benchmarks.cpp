#include "bench_support.h"

#include "kavrin/published_names.h"

#include <array>

namespace kavrin::bench {

namespace {

constexpr std::array kRebuildSizes { 12, 50, 200, 1000 };
constexpr int kNoRebuildSize = 50;
// "fiveIcons" twice (it is off), "showLabels", "showBg", "metroStyle", the colour, the pattern.
constexpr int kCheckLookups = 7;

// The system-wide settings-changed callback, which re-posts locally to the controller. Whether
// it rebuilds is told by the scroll view's first tile: a rebuild replaces it.
Work settingsChanged(bool expectRebuild)
{
    auto widget = std::make_shared<ShownWidget>();
    const weeapp::ui::ViewPtr firstTile = widget->controller->scrollView->subviews().front();
    return Work { {}, [] { preferencesChange(nullptr, nullptr, kPreferencesChanged, nullptr, nullptr); }, [widget, firstTile, expectRebuild] {
        const bool rebuilt = widget->controller->scrollView->subviews().front() != firstTile;
        if (rebuilt == expectRebuild)
            return std::string();
        return std::string(expectRebuild ? "the notification did not rebuild" : "the notification rebuilt"); } };
}

}

void registerPreferenceBenchmarks()
{
    // Metro look, pattern 2, nothing changed: the check alone.
    registerWithFloor("preferencesChange2/no-rebuild/" + std::to_string(kNoRebuildSize), kNoRebuildSize, settingsFor(Look::Metro2),
        [] { return settingsChanged(false); }, { .settingsLookups = kCheckLookups });
    // Standard look in a widget never built metro: no pattern matches its tile count of 0, so
    // every notification rebuilds.
    for (const int favorites : kRebuildSizes) {
        FloorPlan floor = viewFloor(false, favorites);
        floor.settingsLookups += kCheckLookups;
        registerWithFloor(
            "preferencesChange2/rebuild/" + std::to_string(favorites), favorites, settingsFor(Look::Standard),
            [] { return settingsChanged(true); }, floor);
    }
}

}
