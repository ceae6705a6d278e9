#include "modes/live_session.h"
#include "base/host_errors.h"

#include "base/interruption.h"
#include "pictures/png_writer.h"
#include "session/phone_watcher.h"
#include <weeapp/sys/events/run_loop.h>

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

namespace kavrin::host {

namespace {

// The views a rebuild replaces: the tiles in the scroll view (and, for a change of look with no
// tiles, the container's own children, which a rebuild re-adds in another order or anew). A
// flip only changes a tile's alpha, so it leaves them as they are. Weak references keep a
// replaced view's memory from being reused for its successor while it is remembered.
class BuiltViews {
public:
    explicit BuiltViews(const HostSession& session) { m_views = viewsOf(session); }

    // True, and remembers the new views, when they are no longer the ones remembered.
    bool changed(const HostSession& session)
    {
        std::vector<std::weak_ptr<weeapp::ui::View>> now = viewsOf(session);
        bool same = now.size() == m_views.size();
        for (std::size_t i = 0; same && i < now.size(); ++i)
            same = !m_views[i].owner_before(now[i]) && !now[i].owner_before(m_views[i]);
        m_views = std::move(now);
        return !same;
    }

private:
    static std::vector<std::weak_ptr<weeapp::ui::View>> viewsOf(const HostSession& session)
    {
        std::vector<std::weak_ptr<weeapp::ui::View>> views;
        if (weeapp::ui::View* content = session.contentView())
            views.assign(content->subviews().begin(), content->subviews().end());
        if (weeapp::ui::ScrollView* scroll = session.scrollView())
            views.insert(views.end(), scroll->subviews().begin(), scroll->subviews().end());
        return views;
    }

    std::vector<std::weak_ptr<weeapp::ui::View>> m_views;
};

}

ExitStatus runLiveSession(HostSession& session, const std::filesystem::path& outputFolder, bool watch, std::ostream& out, std::ostream& errors)
{
    constexpr double kPictureInterval = 0.1;
    std::error_code ignored;
    std::filesystem::create_directories(outputFolder, ignored);
    std::filesystem::path picture = outputFolder / "live.png";

    session.showView();
    session.viewDidAppear();
    BuiltViews built(session);
    bool reload = false, reloaded = false;
    std::unique_ptr<PhoneWatcher> watcher;
    if (watch)
        watcher = std::make_unique<PhoneWatcher>([&reload] { reload = true; }, std::vector { session.pluginFile() });
    phone_files::Bytes shown;
    while (!interrupted()) {
        // A viewer polling the picture sees only whole frames, and a frame only when it changed.
        std::optional<phone_files::Bytes> png = phone_files::encodePng(session.render().get());
        if (!png || (*png != shown && !phone_files::writeBytes(picture.string(), *png))) {
            kHostErrors.report(errors, "cannot write " + picture.string());
            return ExitStatus::Failure;
        }
        if (shown.empty())
            out << "showing the widget; its picture is " << picture.string() << "; stop with Ctrl-C\n";
        // Said once the reloaded widget's picture is there.
        if (reloaded) {
            out << "reloaded\n";
            reloaded = false;
        }
        if (*png != shown)
            shown = std::move(*png);
        weeapp::sys::RunLoop& loop = weeapp::sys::RunLoop::main();
        loop.runUntil(loop.now() + kPictureInterval);
        // As the window does: a reload that fails leaves the widget shown as it was.
        if (std::exchange(reload, false)) {
            if (auto fresh = session.reload(PluginLoader::Loading::Afresh); !fresh)
                kHostErrors.begin(errors) << "not reloaded: " << fresh.error() << '\n';
            else
                reloaded = true;
            built.changed(session);
        }
        if (built.changed(session))
            out << "rebuilt\n";
        out.flush();
    }
    return interruptedStatus();
}

}
