#include "bench_support.h"

#include <array>

namespace kavrin::bench {

namespace {

constexpr std::array kSizes { 12, 1000 };
// The middle of the first tile of the standard look, in the widget's coordinates.
constexpr weeapp::ui::Point kFirstTile { 44, 44 };
constexpr int kCallButton = 1;
constexpr int kMailButton = 3;

weeapp::sys::Dictionary chooserSettings()
{
    weeapp::sys::Dictionary settings = settingsFor(Look::Standard);
    for (const char* flag : { "askForCall", "askForText", "askForMail" })
        settings[flag] = weeapp::sys::Value::boolean(true);
    return settings;
}

// Runs that each open a URL: the check counts them against the URLs opened.
Work openingURLs(std::function<void()> run)
{
    auto runs = std::make_shared<std::size_t>(0);
    const std::size_t before = BenchEnvironment::shared().openedURLs();
    return Work { {}, [run, runs] { run(); ++*runs; }, [runs, before] { return BenchEnvironment::shared().openedURLs() - before == *runs ? std::string() : "a run did not open a URL"; } };
}

// A tap forwarded by the host: hit test, the tile's action, three ask-flags, the e-mail query,
// the standard action and the call handed to the system.
Work tapStandardAction()
{
    auto widget = std::make_shared<ShownWidget>();
    return openingURLs([widget] { benchmark::DoNotOptimize(widget->controller->launchURLForTapLocation(kFirstTile)); });
}

// The same tap with the ask-flags set: the chooser is shown instead.
Work tapShowingChooser()
{
    auto widget = std::make_shared<ShownWidget>();
    return Work { {}, [widget] { benchmark::DoNotOptimize(widget->controller->launchURLForTapLocation(kFirstTile)); }, [] {
        const auto& alert = BenchEnvironment::shared().visibleAlert();
        return alert && alert->numberOfButtons() == 4 ? std::string() : "the chooser is not shown with four buttons"; } };
}

// A press on the chooser's button: the ask-flags read again, then the call, or the e-mail
// address looked up again and the mail handed to the system. The chooser of one tap is pressed
// again and again; a press reads nothing from the chooser but its tag.
Work pressChooserButton(int button)
{
    auto widget = std::make_shared<ShownWidget>();
    widget->controller->launchURLForTapLocation(kFirstTile);
    const std::shared_ptr<weeapp::ui::AlertView> alert = BenchEnvironment::shared().visibleAlert();
    if (!alert)
        return Work { {}, [] {}, [] { return std::string("the tap showed no chooser"); } };
    return openingURLs([widget, alert, button] { alert->dismissWithClickedButtonIndex(button); });
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
            [] { return pressChooserButton(kCallButton); }, { .settingsLookups = 3 });
        registerWithFloor("press/e-mail/" + size, favorites, chooserSettings(),
            [] { return pressChooserButton(kMailButton); }, { .settingsLookups = 3, .mailQueries = 1 });
    }
}

}
