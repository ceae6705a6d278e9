#include "session/host_session.h"
#include "base/host_errors.h"

#include "base/interruption.h"
#include "base/message_text.h"
#include "kavrin/published_names.h"
#include "pictures/animated_png_writer.h"
#include "pictures/png_writer.h"
#include "render/alert_drawing.h"
#include "render/drawing_geometry.h"
#include "render/renderer.h"
#include "session/plugin_loader.h"
#include "settings_change.h"
#include <weeapp/sys/application.h>
#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/control.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>
#include <ostream>

namespace kavrin::host {

HostSession::HostSession(CommandOutput& output, std::ostream& notes)
    : m_output(output)
    , m_notes(notes)
    , m_window(ui::Window::create({ 0, 0, kScreenWidth, kScreenHeight }))
{
    sys::Application::sharedApplication().setOpenURLHandler([this](const sys::URL& url) {
        m_output.opened(url);
        return true;
    });
    ui::AlertView::setPresenter([this](std::shared_ptr<ui::AlertView> alert) {
        if (!alert)
            return;
        m_alerts.push_back(alert);
        m_output.alerted(*alert);
    });
}

HostSession::~HostSession()
{
    destroyController();
    m_alerts.clear();
    ui::AlertView::setPresenter(nullptr);
    sys::Application::sharedApplication().setOpenURLHandler(nullptr);
}

Result<void> HostSession::start(const std::optional<std::string>& plugin, std::ostream& failures)
{
    std::vector<std::string> names = PluginLoader::bundleNames();
    if (plugin) {
        if (std::find(names.begin(), names.end(), *plugin) == names.end())
            return Error { "no plug-in " + *plugin + " in " + sys::resolvePhonePath(sys::kPluginsFolder) };
        names = { *plugin };
    }
    if (names.empty()) {
        std::string message = "no widget plug-in in " + sys::resolvePhonePath(sys::kPluginsFolder);
        if (std::vector<std::string> dangling = PluginLoader::danglingBundleLinks(); !dangling.empty())
            message += "; the bundle link " + dangling.front() + " leads nowhere (kavrin-demo-phone " + sys::phoneRoot().string()
                + " points it at the built bundle)";
        return Error { message };
    }
    for (const std::string& name : names) {
        auto controller = PluginLoader::createController(name, m_pluginTrust);
        if (controller) {
            m_controller = std::move(*controller);
            m_pluginName = name;
            return {};
        }
        // The one candidate's reason is the whole message.
        if (names.size() == 1)
            return Error { controller.error() };
        kHostErrors.begin(failures) << "plug-in " << name << ": " << controller.error() << '\n';
    }
    return Error { "no widget plug-in could be loaded" };
}

void HostSession::destroyController()
{
    m_controller.reset();
}

float HostSession::viewHeight()
{
    return m_controller && m_controller->respondsToSelector("viewHeight") ? m_controller->viewHeight() : 0;
}

void HostSession::viewDidAppear()
{
    if (m_controller && m_controller->respondsToSelector("viewDidAppear"))
        m_controller->viewDidAppear();
}

void HostSession::viewDidDisappear()
{
    if (m_controller && m_controller->respondsToSelector("viewDidDisappear"))
        m_controller->viewDidDisappear();
}

sys::URLPtr HostSession::launchURLForTapLocation(ui::Point point)
{
    if (m_controller && m_controller->respondsToSelector("launchURLForTapLocation"))
        return m_controller->launchURLForTapLocation(point);
    return nullptr;
}

void HostSession::showView()
{
    if (!m_controller)
        return;
    ui::ViewPtr view = m_controller->view();
    if (view == m_contentView)
        return;
    if (m_contentView && m_contentView->superview() == m_window.get())
        m_contentView->removeFromSuperview();
    m_contentView = view;
    if (m_contentView)
        m_window->addSubview(m_contentView);
}

void HostSession::tap(ui::Point point)
{
    if (!m_contentView || visibleAlert() || m_contentView->window() != m_window.get()) {
        m_output.hit(nullptr, nullptr);
        return;
    }
    ui::Point inWindow = m_contentView->convertPointToView(point, nullptr);
    ui::View* hit = m_window->hitTest(inWindow, nullptr);
    auto* control = dynamic_cast<ui::Control*>(hit);
    if (!control || !control->isEnabled()) {
        m_output.hit(nullptr, nullptr);
        return;
    }
    m_output.hit(control, m_contentView.get());
    control->sendActionsForControlEvents(ui::ControlEventTouchUpInside);
}

std::weak_ptr<ui::View> HostSession::controlAt(ui::Point inWindow)
{
    if (!m_contentView || visibleAlert() || m_contentView->window() != m_window.get())
        return {};
    ui::View* hit = m_window->hitTest(inWindow, nullptr);
    if (auto* control = dynamic_cast<ui::Control*>(hit); control && control->isEnabled())
        return control->shared_from_this();
    return {};
}

void HostSession::touchUpInside(const std::weak_ptr<ui::View>& pressed, ui::Point inWindow)
{
    ui::ViewPtr control = pressed.lock();
    if (!control || controlAt(inWindow).lock() != control)
        return;
    static_cast<ui::Control&>(*control).sendActionsForControlEvents(ui::ControlEventTouchUpInside);
}

int HostSession::alertButtonAt(ui::Point inPicture, double pictureWidth, double pictureHeight)
{
    std::shared_ptr<ui::AlertView> alert = visibleAlert();
    if (!alert)
        return -1;
    return host::alertButtonAt(measuringContext().get(), m_renderCache.textLayouts(), *alert, pictureWidth, pictureHeight, inPicture);
}

Result<void> HostSession::reload(PluginLoader::Loading loading)
{
    // Until the new controller is there the old one stays, so that a bundle caught half-written
    // leaves the widget as it was.
    auto controller = PluginLoader::createController(m_pluginName, m_pluginTrust, loading);
    if (!controller)
        return Error { controller.error() };
    viewDidDisappear();
    if (m_contentView && m_contentView->superview() == m_window.get())
        m_contentView->removeFromSuperview();
    m_contentView.reset();
    m_alerts.clear();
    destroyController();
    m_controller = std::move(*controller);
    showView();
    viewDidAppear();
    return {};
}

std::filesystem::path HostSession::pluginFile() const
{
    std::error_code ignored;
    return m_pluginName.empty() ? std::filesystem::path() : std::filesystem::canonical(PluginLoader::executablePath(m_pluginName), ignored);
}

ui::ScrollView* HostSession::scrollView() const
{
    if (!m_contentView)
        return nullptr;
    std::deque<ui::View*> queue { m_contentView.get() };
    while (!queue.empty()) {
        ui::View* view = queue.front();
        queue.pop_front();
        if (auto* scroll = dynamic_cast<ui::ScrollView*>(view))
            return scroll;
        for (const ui::ViewPtr& child : view->subviews())
            queue.push_back(child.get());
    }
    return nullptr;
}

bool HostSession::scrollTo(float x)
{
    ui::ScrollView* scroll = scrollView();
    if (!scroll)
        return false;
    // Keep the view alive while its delegate runs, whatever the delegate does to the tree.
    ui::ViewPtr keep = scroll->shared_from_this();
    scroll->setContentOffset({ x, scroll->contentOffset().y });
    scroll->endDecelerating();
    return true;
}

int HostSession::pageCount() const
{
    ui::ScrollView* scroll = scrollView();
    float width = scroll ? scroll->bounds().width() : 0;
    if (!(width > 0) || !std::isfinite(scroll->contentSize().width))
        return 1;
    double pages = std::ceil(scroll->contentSize().width / width - 1e-3);
    return static_cast<int>(std::clamp(pages, 1.0, 1e6));
}

int HostSession::currentPage() const
{
    ui::ScrollView* scroll = scrollView();
    float width = scroll ? scroll->bounds().width() : 0;
    if (!(width > 0) || !std::isfinite(scroll->contentOffset().x))
        return 0;
    double page = std::round(scroll->contentOffset().x / width);
    return static_cast<int>(std::clamp(page, 0.0, static_cast<double>(pageCount() - 1)));
}

bool HostSession::scrollToPage(int page)
{
    ui::ScrollView* scroll = scrollView();
    if (!scroll)
        return false;
    page = std::clamp(page, 0, pageCount() - 1);
    return scrollTo(static_cast<float>(page) * scroll->bounds().width());
}

std::shared_ptr<ui::AlertView> HostSession::visibleAlert()
{
    std::erase_if(m_alerts, [](const std::shared_ptr<ui::AlertView>& alert) { return !alert->isVisible(); });
    return m_alerts.empty() ? nullptr : m_alerts.back();
}

Result<void> HostSession::press(int buttonIndex)
{
    std::shared_ptr<ui::AlertView> alert = visibleAlert();
    if (!alert)
        return Error { "no alert is shown" };
    if (buttonIndex < 0 || buttonIndex >= alert->numberOfButtons())
        return Error { "the alert has no button " + std::to_string(buttonIndex) };
    m_alerts.pop_back();
    alert->dismissWithClickedButtonIndex(buttonIndex);
    return {};
}

void HostSession::advance(double seconds)
{
    sys::RunLoop::main().advance(seconds);
}

void HostSession::idle()
{
    sys::RunLoop::main().runDueTasks();
}

weeapp::CairoSurface HostSession::render()
{
    std::shared_ptr<ui::AlertView> alert = visibleAlert();
    Renderer renderer(m_renderCache, sys::RunLoop::main().now(), m_scale, m_backdrop);
    return renderer.renderWindow(*m_window, m_contentView.get(), alert.get());
}

Result<void> HostSession::renderToFile(const std::filesystem::path& file)
{
    bool written = writePng(render().get(), file);
    if (!written)
        return Error { "cannot write " + escapedForMessage(file.string()) };
    return {};
}

Result<void> HostSession::recordToFile(const std::filesystem::path& file, double seconds)
{
    constexpr double kFramesPerSecond = 25;
    AnimatedPngWriter writer(static_cast<int>(kFramesPerSecond));
    auto frames = static_cast<long>(std::ceil(seconds * kFramesPerSecond - 1e-9));
    double start = sys::RunLoop::main().now();
    for (long frame = 0; frame <= frames; ++frame) {
        if (interrupted())
            return Error { "interrupted; " + escapedForMessage(file.string()) + " is not written" };
        if (frame > 0) {
            double target = std::min(start + seconds, start + static_cast<double>(frame) / kFramesPerSecond);
            advance(target - sys::RunLoop::main().now());
        }
        writer.addFrame(render().get());
    }
    if (!writer.write(file))
        return Error { "cannot write " + escapedForMessage(file.string()) };
    return {};
}

namespace {

Result<void> edited(const phone_files::SettingsChange& change, std::ostream& notes)
{
    if (!change.note().empty())
        kHostErrors.begin(notes) << change.note() << '\n';
    if (change.outcome == phone_files::SettingsChange::Outcome::Written || change.outcome == phone_files::SettingsChange::Outcome::Unchanged)
        return {};
    return Error { change.message };
}

}

Result<void> HostSession::setSetting(const std::string& key, const sys::ValuePtr& value)
{
    return edited(phone_files::setSetting(key, value, m_settingsRules), m_notes);
}

Result<void> HostSession::unsetSetting(const std::string& key)
{
    return edited(phone_files::unsetSetting(key, m_settingsRules), m_notes);
}

void HostSession::notifySettingsChanged()
{
    sys::DarwinNotifyCenter::shared().postNotification(kPreferencesChanged);
}

}
