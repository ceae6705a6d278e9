#pragma once

#include "sys/value.h"
#include "ui/alert_view.h"
#include "ui/scroll_view.h"
#include "ui/window.h"
#include "weeapp/wee_app_controller.h"

#include <cairo.h>

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace kavrin::host {

// What the notification-centre host does for one widget: it owns the window and the
// controller, hands URLs to the "system" (prints them), presents alerts (prints and keeps them
// on screen), delivers taps and scrolls, and moves time on the main run loop.
class HostSession {
public:
    static constexpr float kScreenWidth = 320;
    static constexpr float kScreenHeight = 480;

    explicit HostSession(std::ostream& out);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Loads the plug-in and creates the controller; false with the reason in error.
    bool start(std::string& error);

    // nullptr once destroyed.
    weeapp::BBWeeAppController* controller() const { return m_controller.get(); }
    void destroyController();

    // Calls view; the first time (or when the controller hands out another view) the view goes
    // into the window.
    void showView();
    ui::View* contentView() const { return m_contentView.get(); }
    ui::Window& window() const { return *m_window; }

    // A finger tap in the content view's coordinates: hit test in the window, then touch up
    // inside on the control hit. An alert on screen takes every tap for itself.
    void tap(ui::Point);
    // The first scroll view in the content view's tree.
    ui::ScrollView* scrollView() const;
    // Drags the scroll view to the horizontal offset and lets it come to rest.
    bool scrollTo(float x);

    // The alert on top of the screen, or nullptr.
    std::shared_ptr<ui::AlertView> visibleAlert();
    // Presses a button of the alert on top; false with the reason in error.
    bool press(int buttonIndex, std::string& error);

    // Moves the manual clock forward, running what falls due.
    void advance(double seconds);
    // Lets the run loop handle what is due now: delayed calls, animation ends, notifications.
    void idle();

    // The picture of the window at the run loop's current time; the caller destroys it.
    cairo_surface_t* render();
    bool renderToFile(const std::filesystem::path&, std::string& error);
    // Renders frames while the clock moves the given seconds forward, into an animated PNG.
    bool recordToFile(const std::filesystem::path&, double seconds, std::string& error);

    // The widget's settings file, changed under the settings lock without telling anyone. False
    // with the reason in error when it cannot be written, and also when something other than a
    // regular file (a FIFO, a folder) is in its place: such a thing is neither read nor replaced,
    // and the script stops at the line, since its later lines would act on settings it never
    // made. unset of a key that is not there writes nothing.
    bool setSetting(const std::string& key, const sys::ValuePtr& value, std::string& error);
    bool unsetSetting(const std::string& key, std::string& error);
    // Posts the settings-changed notification system-wide.
    void notifySettingsChanged();

private:
    std::ostream& m_out;
    std::shared_ptr<ui::Window> m_window;
    std::unique_ptr<weeapp::BBWeeAppController> m_controller;
    ui::ViewPtr m_contentView;
    std::vector<std::shared_ptr<ui::AlertView>> m_alerts;
};

}
