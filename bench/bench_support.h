#pragma once

#include "bench_phone.h"
#include "controller/kavrin_controller.h"
#include "floor_operations.h"
#include <weeapp/platform_state.h>
#include <weeapp/ui/alert_view.h>
#include <weeapp/ui/window.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kavrin::bench {

// The platform as a scripted host session keeps it: the main run loop on a manual clock, alerts
// kept on screen by a presenter, URLs counted instead of opened. The bench's main makes the one
// environment, which is current until it ends.
class BenchEnvironment {
public:
    BenchEnvironment();
    ~BenchEnvironment();
    BenchEnvironment(const BenchEnvironment&) = delete;
    BenchEnvironment& operator=(const BenchEnvironment&) = delete;

    static BenchEnvironment& shared();

    // Starts over in a fresh platform state on the same phone root, as a new session starts:
    // no delayed calls, observers or alert on screen, and the random source seeded alike.
    void reset();

    std::size_t openedURLs() const { return m_openedURLs; }
    const std::shared_ptr<ui::AlertView>& visibleAlert() const { return m_alert; }

private:
    void startPlatform();

    std::size_t m_openedURLs { 0 };
    std::shared_ptr<ui::AlertView> m_alert;
    std::optional<weeapp::PlatformState> m_platform;
};

// A controller whose view hangs in a window, as the host shows it.
struct ShownWidget {
    ShownWidget();

    std::shared_ptr<ui::Window> window;
    std::unique_ptr<KavrinController> controller;
};

// What a case or a floor does, once it is set up: an untimed preparation before every run
// (none when empty), the run itself, and a check after all runs, which names what went wrong
// (empty when all is well).
struct Work {
    std::function<void()> prepare;
    std::function<void()> run;
    std::function<std::string()> check;
};
// Sets a case up on the current phone; what it needs lives in the closures it returns.
using WorkMaker = std::function<Work()>;

// The phone of that size made current, with that settings file.
const BenchPhone& preparePhone(int favorites, const sys::Dictionary& settings, sys::PropertyListFormat = sys::PropertyListFormat::Xml);

// Registers a case beside its floor. Both are set up on the phone of that size with that
// settings file and measured in pairs, in turn (pair_measurement.h).
void registerWithFloor(const std::string& name, int favorites, const sys::Dictionary& settings, WorkMaker, FloorPlan floor,
    sys::PropertyListFormat = sys::PropertyListFormat::Xml);
// The same with a floor of its own making, on whatever the maker makes current.
void registerPair(const std::string& name, WorkMaker work, WorkMaker floor, double favorites = 0);

// The floor of a background pass with its tile rebuild: the settings lookups, the favorites
// list, a photo for every favorite.
FloorPlan viewFloor(bool metro, int favorites);

// Writes the demo phone into FOLDER/phone and its backup, with that many other files in its
// index, into FOLDER/backup; the reason when it cannot.
std::string writeDemoBackup(const std::filesystem::path& folder, std::size_t otherFiles);

// The groups of cases, registered in this order.
void registerLookupBenchmarks();
void registerViewBenchmarks();
void registerTapBenchmarks();
void registerPreferenceBenchmarks();
void registerRenderBenchmarks();
void registerImportBenchmarks();

}
