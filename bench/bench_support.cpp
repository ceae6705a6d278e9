#include "bench_support.h"

#include "pair_measurement.h"

#include <weeapp/sys/application.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/sys/user_defaults.h>

#include <cassert>

namespace kavrin::bench {

namespace {

BenchEnvironment* g_environment = nullptr;

}

BenchEnvironment::BenchEnvironment()
{
    assert(!g_environment);
    g_environment = this;
    startPlatform();
}

BenchEnvironment::~BenchEnvironment()
{
    m_alert.reset();
    m_platform.reset();
    g_environment = nullptr;
}

BenchEnvironment& BenchEnvironment::shared()
{
    assert(g_environment && "the bench's main makes the environment first");
    return *g_environment;
}

void BenchEnvironment::startPlatform()
{
    m_platform.emplace();
    sys::RunLoop::main().setClock(std::make_shared<sys::ManualClock>());
    ui::AlertView::setPresenter([this](std::shared_ptr<ui::AlertView> alert) { m_alert = std::move(alert); });
    sys::Application::sharedApplication().setOpenURLHandler([this](const sys::URL&) {
        ++m_openedURLs;
        return true;
    });
    sys::Array languages { sys::Value::string("de") };
    sys::UserDefaults::standardUserDefaults().setObjectForKey(sys::Value::array(std::move(languages)), sys::kAppleLanguagesKey);
}

void BenchEnvironment::reset()
{
    m_alert.reset();
    const std::filesystem::path root = sys::phoneRoot();
    m_platform.reset();
    startPlatform();
    sys::setPhoneRoot(root);
    // The metro look flips a tile at random: every run of the bench flips the same ones.
    sys::seedRandom(1);
}

ShownWidget::ShownWidget()
    : window((BenchEnvironment::shared().reset(), ui::Window::create({ 0, 0, 320, 480 })))
    , controller(std::make_unique<KavrinController>())
{
    window->addSubview(controller->view());
}

const BenchPhone& preparePhone(int favorites, const sys::Dictionary& settings, sys::PropertyListFormat format)
{
    BenchEnvironment::shared();
    const BenchPhone& phone = phoneWithFavorites(favorites);
    phone.makeCurrent();
    phone.writeSettings(settings, format);
    return phone;
}

void registerPair(const std::string& name, WorkMaker work, WorkMaker floor, double favorites)
{
    const int pairs = measurementSettings().callgrindOutput.empty() ? measurementSettings().pairs : 1;
    benchmark::RegisterBenchmark(name.c_str(), [name, work, floor, favorites](benchmark::State& state) {
        // The floor first: a case's setup may start a session of its own, which the floor's
        // setup would end.
        const Work floorWork = floor();
        const Work measured = work();
        measurePair(state, name, measured, floorWork, favorites);
    })->Unit(benchmark::kMicrosecond)
        ->UseManualTime()
        ->Iterations(pairs);
}

void registerWithFloor(const std::string& name, int favorites, const sys::Dictionary& settings, WorkMaker work, FloorPlan plan,
    sys::PropertyListFormat format)
{
    const double tiles = plan.photoQueries > 1 ? favorites : 0;
    registerPair(
        name, [favorites, settings, work, format] {
        preparePhone(favorites, settings, format);
        return work(); }, [favorites, settings, plan, format] {
        const BenchPhone& phone = preparePhone(favorites, settings, format);
        return Work { {}, [floor = FloorRun(phone, plan)] { floor.run(); }, {} }; }, tiles);
}

}
