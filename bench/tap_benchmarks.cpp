#include "bench_support.h"

#include <array>

namespace kavrin::bench {

namespace {

constexpr std::array kSizes { 12, 1000 };
// The middle of the first tile of the standard look, in the widget's coordinates.
constexpr ui::Point kFirstTile { 44, 44 };
constexpr int kCallButton = 1;
constexpr int kMailButton = 3;

sys::Dictionary chooserSettings()
{
    sys::Dictionary settings = settingsFor(Look::Standard);
    for (const char* flag : { "askForCall", "askForText", "askForMail" })
        settings[flag] = sys::Value::boolean(true);
    return settings;
}

// A tap forwarded by the host: hit test, the tile's action, three ask-flags, the e-mail query,
// the standard action and the call handed to the system.
void tapStandardAction(benchmark::State& state)
{
    ShownWidget widget;
    const std::size_t before = BenchEnvironment::shared().openedURLs();
    for (auto _ : state)
        benchmark::DoNotOptimize(widget.controller->launchURLForTapLocation(kFirstTile));
    if (BenchEnvironment::shared().openedURLs() - before != static_cast<std::size_t>(state.iterations()))
        state.SkipWithError("a tap did not open a URL");
}

// The same tap with the ask-flags set: the chooser is shown instead.
void tapShowingChooser(benchmark::State& state)
{
    ShownWidget widget;
    for (auto _ : state)
        benchmark::DoNotOptimize(widget.controller->launchURLForTapLocation(kFirstTile));
    const auto& alert = BenchEnvironment::shared().visibleAlert();
    if (!alert || alert->numberOfButtons() != 4)
        state.SkipWithError("the chooser is not shown with four buttons");
}

// A press on the chooser's button: the ask-flags read again, then the call, or the e-mail
// address looked up again and the mail handed to the system. The chooser of one tap is pressed
// again and again; a press reads nothing from the chooser but its tag.
void pressChooserButton(benchmark::State& state, int button)
{
    ShownWidget widget;
    widget.controller->launchURLForTapLocation(kFirstTile);
    const std::shared_ptr<ui::AlertView> alert = BenchEnvironment::shared().visibleAlert();
    if (!alert) {
        state.SkipWithError("the tap showed no chooser");
        return;
    }
    const std::size_t before = BenchEnvironment::shared().openedURLs();
    for (auto _ : state)
        alert->dismissWithClickedButtonIndex(button);
    if (BenchEnvironment::shared().openedURLs() - before != static_cast<std::size_t>(state.iterations()))
        state.SkipWithError("a press did not open a URL");
}

}

void registerTapBenchmarks()
{
    for (const int favorites : kSizes) {
        const std::string size = std::to_string(favorites);
        registerWithFloor("tap/standard-action/" + size, favorites, settingsFor(Look::Standard), tapStandardAction,
            { .settingsLookups = 4, .mailQueries = 1 });
        registerWithFloor("tap/chooser/" + size, favorites, chooserSettings(), tapShowingChooser,
            { .settingsLookups = 3, .mailQueries = 1 });
        registerWithFloor("press/call/" + size, favorites, chooserSettings(),
            [](benchmark::State& state) { pressChooserButton(state, kCallButton); }, { .settingsLookups = 3 });
        registerWithFloor("press/e-mail/" + size, favorites, chooserSettings(),
            [](benchmark::State& state) { pressChooserButton(state, kMailButton); }, { .settingsLookups = 3, .mailQueries = 1 });
    }
}

}
