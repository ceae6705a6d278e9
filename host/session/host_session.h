#pragma once

#include "render/backdrop.h"
#include "render/render_cache.h"
#include "result.h"
#include "session/command_output.h"
#include "session/plugin_loader.h"
#include "session/plugin_trust.h"
#include "settings_change.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/value.h>
#include <weeapp/ui/alert_view.h>
#include <weeapp/ui/scroll_view.h>
#include <weeapp/ui/window.h>
#include <weeapp/wee_app_controller.h>

#include <cairo.h>

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

// What the notification-centre host does for one widget: it owns the window and the
// controller, hands URLs to the "system" (reports them to the output), presents alerts (reports
// them and keeps them on screen), delivers taps and scrolls, and moves time on the main run loop.
class HostSession {
public:
    static constexpr float kScreenWidth = 320;
    static constexpr float kScreenHeight = 480;

    // output takes what the widget hands to the system and what the commands produce; notes
    // what the host says about the phone's files (where an unreadable settings file's bytes were
    // kept).
    HostSession(CommandOutput& output, std::ostream& notes);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Loads a plug-in and creates its controller: the named bundle, or else the first by name of
    // the plug-ins folder's bundles that loads. Each bundle that fails to load is reported by
    // name on failures; the error says that none loaded.
    Result<void> start(const std::optional<std::string>& plugin, std::ostream& failures);
    // Where plug-ins may be loaded from (the built or installed bundle unless set).
    void setPluginTrust(PluginTrust trust) { m_pluginTrust = std::move(trust); }

    // nullptr once destroyed.
    weeapp::BBWeeAppController* controller() const { return m_controller.get(); }
    void destroyController();

    // The protocol's optional operations that the host uses, each sent only when the controller
    // answers for it; an absent one does nothing (viewHeight is then 0, the URL nil).
    float viewHeight();
    void viewDidAppear();
    void viewDidDisappear();
    sys::URLPtr launchURLForTapLocation(ui::Point);

    // Calls view; the first time (or when the controller hands out another view) the view goes
    // into the window.
    void showView();
    ui::View* contentView() const { return m_contentView.get(); }
    ui::Window& window() const { return *m_window; }

    // A finger tap in the content view's coordinates: hit test in the window, then touch up
    // inside on the control hit, reported to the output first (nullptr when the tap reaches no
    // enabled control). An alert on screen takes every tap for itself.
    void tap(ui::Point);
    // A finger going down at a point of the window (in points): the enabled control it lands
    // on, if any; lifting it is touchUpInside when the finger comes up inside the same control.
    std::weak_ptr<ui::View> controlAt(ui::Point inWindow);
    void touchUpInside(const std::weak_ptr<ui::View>& control, ui::Point inWindow);
    // The button of the alert on top under a point of a picture of the given size in points, or
    // -1.
    int alertButtonAt(ui::Point inPicture, double pictureWidth, double pictureHeight);

    // A fresh controller in place of the old one, as when the notification centre opens again:
    // the old view disappears and goes, the new one is shown and appears.
    // Afresh loads the bundle's code as it is on disk now (a rebuild), Cached the code in memory.
    Result<void> reload(PluginLoader::Loading = PluginLoader::Loading::Cached);
    // The real path of the loaded plug-in's executable, or empty.
    std::filesystem::path pluginFile() const;

    // Where the session reports what the widget does.
    CommandOutput& output() const { return m_output; }

    // The first scroll view in the content view's tree.
    ui::ScrollView* scrollView() const;
    // Drags the scroll view to the horizontal offset and lets it come to rest.
    bool scrollTo(float x);
    // The scroll view's pages (at least 1) and the one in view, counted from 0.
    int pageCount() const;
    int currentPage() const;
    // Swipes to the page, counted from 0 and kept within the pages, as a swipe would leave it.
    bool scrollToPage(int page);

    // The alert on top of the screen, or nullptr.
    std::shared_ptr<ui::AlertView> visibleAlert();
    // Presses a button of the alert on top.
    Result<void> press(int buttonIndex);

    // Moves the manual clock forward, running what falls due.
    void advance(double seconds);
    // Lets the run loop handle what is due now: delayed calls, animation ends, notifications.
    void idle();

    // How pictures are drawn: device pixels to a point (1 to 3) and what is around the widget.
    void setScale(int scale) { m_scale = scale; }
    int scale() const { return m_scale; }
    void setBackdrop(Backdrop backdrop) { m_backdrop = std::move(backdrop); }
    const Backdrop& backdrop() const { return m_backdrop; }
    // What the session's frames keep from one to the next.
    RenderCache& renderCache() { return m_renderCache; }

    // The picture of the window at the run loop's current time.
    weeapp::CairoSurface render();
    Result<void> renderToFile(const std::filesystem::path&);
    // Renders frames while the clock moves the given seconds forward, into an animated PNG.
    Result<void> recordToFile(const std::filesystem::path&, double seconds);

    // How set and unset treat the phone (--force, --create), as every writer of the settings does.
    using SettingsRules = phone_files::SettingsRules;
    void setSettingsRules(SettingsRules rules) { m_settingsRules = rules; }
    const SettingsRules& settingsRules() const { return m_settingsRules; }

    // The widget's settings file, changed under the settings lock without telling anyone. An
    // error when it cannot be written, when the lock stays taken, when the
    // root does not look like a phone's, and when the file is there but no readable dictionary or
    // something other than a regular file (a link, a FIFO, a folder): such a thing is neither
    // read nor replaced, and the script stops at the line, since its later lines would act on
    // settings it never made. unset of a key that is not there writes and creates nothing.
    Result<void> setSetting(const std::string& key, const sys::ValuePtr& value);
    Result<void> unsetSetting(const std::string& key);
    // Posts the settings-changed notification system-wide.
    void notifySettingsChanged();

private:
    CommandOutput& m_output;
    std::ostream& m_notes;
    std::shared_ptr<ui::Window> m_window;
    std::unique_ptr<weeapp::BBWeeAppController> m_controller;
    ui::ViewPtr m_contentView;
    std::vector<std::shared_ptr<ui::AlertView>> m_alerts;
    SettingsRules m_settingsRules;
    PluginTrust m_pluginTrust { PluginTrust::standard({}) };
    std::string m_pluginName;
    int m_scale { 1 };
    Backdrop m_backdrop { Backdrop::dark() };
    RenderCache m_renderCache;
};

}
