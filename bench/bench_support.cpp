#include "bench_support.h"

#include "sys/application.h"
#include "sys/run_loop.h"
#include "sys/user_defaults.h"
#include "weeapp/testing_reset.h"

namespace kavrin::bench {

BenchEnvironment& BenchEnvironment::shared()
{
    static BenchEnvironment environment;
    return environment;
}

BenchEnvironment::BenchEnvironment()
{
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
    weeapp::resetForTests();
}

ShownWidget::ShownWidget()
    : window(ui::Window::create({ 0, 0, 320, 480 }))
    , controller(std::make_unique<KavrinController>())
{
    BenchEnvironment::shared().reset();
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

void registerWithFloor(const std::string& name, int favorites, const sys::Dictionary& settings, std::function<void(benchmark::State&)> run,
    FloorPlan floor, sys::PropertyListFormat format)
{
    benchmark::RegisterBenchmark(name.c_str(), [favorites, settings, run, format](benchmark::State& state) {
        preparePhone(favorites, settings, format);
        run(state);
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((name + "/floor").c_str(), [favorites, settings, floor, format](benchmark::State& state) {
        const BenchPhone& phone = preparePhone(favorites, settings, format);
        for (auto _ : state)
            runFloor(phone, floor);
    })->Unit(benchmark::kMicrosecond);
}

}
