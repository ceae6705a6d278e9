#include "modes/window_session.h"
#include "base/host_errors.h"
#include "base/interruption.h"
#include "modes/window_settings.h"
#include "render/caption_drawing.h"
#include "render/key_help_drawing.h"

#include "pictures/png_writer.h"
#include "reader/window_reader.h"
#include "session/phone_watcher.h"
#include <weeapp/sys/events/run_loop.h>
#include <weeapp/sys/files/file_writing.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace kavrin::host {

namespace {

// How far a pressed finger may move before the press becomes a drag, in points, and how far a
// drag must go to turn the page.
constexpr float kDragSlop = 6;
constexpr float kPageTurnFraction = 0.15f;
// The longest the window waits for input before it draws the next frame, in milliseconds.
constexpr int kFrameInterval = 33;

// Shows the frame pixel for pixel, the window resized to it.
void show(DesktopWindow& window, cairo_surface_t* frame)
{
    cairo_surface_flush(frame);
    window.show(cairo_image_surface_get_data(frame), cairo_image_surface_get_width(frame), cairo_image_surface_get_height(frame),
        cairo_image_surface_get_stride(frame));
}

using Frame = weeapp::CairoSurface;

// The window's keys, as h and ? show them over the widget.
constexpr KeyHelp kWindowKeys[] = {
    { "q", "quit" },
    { "Esc", "cancel chooser, else quit" },
    { "\u2190 \u2192", "turn the page" },
    { "1 2 3", "scale" },
    { "b", "next backdrop" },
    { "r", "reload the widget" },
    { "s", "save the frame" },
    { "v", "screen reader on/off" },
    { "h ?", "this help on/off" },
    { "m", "metro look on/off" },
    { "p", "metro pattern 1\u20134" },
    { "c", "metro colour 1\u20137" },
    { "l", "labels on/off" },
    { "g", "background on/off" },
    { "f", "five a page on/off" },
    { "a", "action: call, text, mail" },
    { "o t e", "chooser: call, text, mail" },
    { "u", "undo the last setting" },
    { "space", "pause and run the clock" },
    { ".", "step 1/60 s (paused)" },
    { "]", "on to the next flip" },
    { "+ -", "speed \u00bc\u00d7 to 4\u00d7" },
};

constexpr double kFrameStep = 1.0 / 60;

std::string secondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", seconds);
    return text;
}

std::string speedText(double speed)
{
    char text[16];
    std::snprintf(text, sizeof text, "%g", speed);
    return text;
}

// The frame as the window shows it: with the reader's caption under it while the reader is on,
// under the keys' help while that is shown, with the clock's strip under it all while it is
// paused, else a reference to the same frame.
Frame pictureShown(const Frame& frame, const WindowReader& reader, bool help, HostSession& session, const WindowClock* clock = nullptr)
{
    Frame shown = reader.captioned(frame.get());
    if (!shown)
        shown = Frame(cairo_surface_reference(frame.get()));
    if (help)
        shown = withKeyHelp(shown.get(), kWindowKeys, session.scale(), session.renderCache().textLayouts());
    if (clock && clock->paused()) {
        char status[96];
        std::snprintf(status, sizeof status, "paused %.3f s \u00b7 %s\u00d7 \u00b7 space runs, . steps, ] next", clock->now(), speedText(clock->speed()).c_str());
        shown = withCaption(shown.get(), status, session.scale(), session.renderCache().textLayouts());
    }
    return shown;
}

// What the mouse and keys do to the session.
class WindowControls {
public:
    WindowControls(HostSession& session, const WindowSetup& options, WindowReader& reader, std::ostream& out, std::ostream& errors)
        : m_session(session)
        , m_options(options)
        , m_reader(reader)
        , m_out(out)
        , m_errors(errors)
        , m_settings(session, out, errors)
    {
        if (session.backdrop().kind() == Backdrop::Kind::Wallpaper)
            m_wallpaper = session.backdrop();
    }

    // False once the window is to close.
    bool handle(const WindowEvent& event, const Frame& shown)
    {
        switch (event.kind) {
        case WindowEvent::Kind::Close:
            return false;
        case WindowEvent::Kind::KeyDown:
            return key(event);
        case WindowEvent::Kind::ButtonDown:
            if (event.left)
                press(pointOf(event.x, event.y), shown);
            return true;
        case WindowEvent::Kind::PointerMoved:
            if (event.left)
                drag(pointOf(event.x, event.y));
            else
                m_reader.pointerAt(pointOf(event.x, event.y), pointsWide(shown, m_session.scale()), pointsHigh(shown, m_session.scale()));
            return true;
        case WindowEvent::Kind::PointerLeft:
            m_reader.pointerLeft();
            return true;
        case WindowEvent::Kind::ButtonUp:
            if (event.left)
                release(pointOf(event.x, event.y), shown);
            return true;
        case WindowEvent::Kind::Wheel: {
            int steps = event.wheelX != 0 ? event.wheelX : -event.wheelY;
            if (steps != 0 && !m_session.visibleAlert())
                m_session.scrollToPage(m_session.currentPage() + (steps > 0 ? 1 : -1));
            return true;
        }
        case WindowEvent::Kind::Other:
            return true;
        }
        return true;
    }

private:
    weeapp::ui::Point pointOf(int x, int y) const
    {
        float scale = static_cast<float>(m_session.scale());
        return { static_cast<float>(x) / scale, static_cast<float>(y) / scale };
    }

    static double pointsWide(const Frame& frame, int scale) { return frame ? cairo_image_surface_get_width(frame.get()) / double(scale) : 0; }
    static double pointsHigh(const Frame& frame, int scale) { return frame ? cairo_image_surface_get_height(frame.get()) / double(scale) : 0; }

    bool key(const WindowEvent& event)
    {
        switch (event.key) {
        case WindowEvent::Key::Escape:
            // As the chooser's Cancel button does; the window closes only when none is open.
            if (std::shared_ptr<weeapp::ui::AlertView> alert = m_session.visibleAlert()) {
                if (alert->cancelButtonIndex() >= 0)
                    (void)m_session.press(alert->cancelButtonIndex());
                return true;
            }
            return false;
        case WindowEvent::Key::Left:
        case WindowEvent::Key::Up:
        case WindowEvent::Key::Right:
        case WindowEvent::Key::Down:
            if (!m_session.visibleAlert())
                m_session.scrollToPage(m_session.currentPage() + (event.key == WindowEvent::Key::Left || event.key == WindowEvent::Key::Up ? -1 : 1));
            return true;
        case WindowEvent::Key::Character:
            return character(event.character);
        case WindowEvent::Key::Other:
            return true;
        }
        return true;
    }

    bool character(char typed)
    {
        switch (typed) {
        case 'q':
            return false;
        case '1':
        case '2':
        case '3':
            m_session.setScale(typed - '0');
            return true;
        case 'b':
            m_session.setBackdrop(m_session.backdrop().next(m_wallpaper));
            m_out << "backdrop " << m_session.backdrop().name() << '\n';
            return true;
        case 'r':
            m_reload = true;
            return true;
        case 's':
            save();
            return true;
        case 'v':
            m_reader.toggle();
            return true;
        case 'h':
        case '?':
            m_help = !m_help;
            return true;
        case ' ':
        case '.':
        case ']':
        case '+':
        case '-':
            time(typed);
            return true;
        default:
            m_settings.handle(typed);
            return true;
        }
    }

    // Space pauses and runs the clock, . steps a frame (pausing first), ] moves on to when the
    // next thing is due (at rest, the next flip), + and - change the speed.
    void time(char typed)
    {
        WindowClock* clock = m_options.clock;
        if (!clock)
            return;
        switch (typed) {
        case ' ':
            if (clock->paused())
                clock->resume();
            else
                clock->pause();
            m_out << (clock->paused() ? "paused " : "running ") << secondsText(clock->now()) << '\n';
            return;
        case '.':
            clock->pause();
            clock->advance(kFrameStep);
            break;
        case ']':
            if (double next = weeapp::sys::RunLoop::main().nextDeadline(); next < 0) {
                // The metro look flips its tiles; the standard look at rest has nothing to wait for.
                m_out << "time " << secondsText(clock->now()) << " (nothing is due: no flip or delayed call is waiting)\n";
                return;
            } else if (next > clock->now()) {
                clock->advance(next - clock->now());
            }
            break;
        case '+':
        case '-':
            if (typed == '+' ? clock->faster() : clock->slower())
                m_out << "speed " << speedText(clock->speed()) << '\n';
            return;
        default:
            return;
        }
        m_out << "time " << secondsText(clock->now()) << '\n';
    }

    void press(weeapp::ui::Point point, const Frame& shown)
    {
        m_down = point;
        m_dragging = false;
        m_pressed.reset();
        m_pressedButton = -1;
        if (m_session.visibleAlert()) {
            m_pressedButton = m_session.alertButtonAt(point, pointsWide(shown, m_session.scale()), pointsHigh(shown, m_session.scale()));
            return;
        }
        m_pressed = m_session.controlAt(point);
        weeapp::ui::ScrollView* scroll = m_session.scrollView();
        m_startOffset = scroll ? scroll->contentOffset().x : 0;
        m_tracking = true;
    }

    void drag(weeapp::ui::Point point)
    {
        weeapp::ui::ScrollView* scroll = m_session.scrollView();
        if (!m_tracking || !scroll)
            return;
        float moved = point.x - m_down.x;
        if (!m_dragging && std::abs(moved) < kDragSlop)
            return;
        m_dragging = true;
        m_pressed.reset();
        float widest = std::max(0.f, scroll->contentSize().width - scroll->bounds().width());
        scroll->setContentOffset({ std::clamp(m_startOffset - moved, 0.f, widest), scroll->contentOffset().y });
    }

    void release(weeapp::ui::Point point, const Frame& shown)
    {
        if (m_session.visibleAlert()) {
            int button = m_session.alertButtonAt(point, pointsWide(shown, m_session.scale()), pointsHigh(shown, m_session.scale()));
            if (button >= 0 && button == m_pressedButton)
                (void)m_session.press(button);
            m_pressedButton = -1;
            return;
        }
        if (!m_tracking)
            return;
        m_tracking = false;
        if (m_dragging) {
            weeapp::ui::ScrollView* scroll = m_session.scrollView();
            float width = scroll ? scroll->bounds().width() : 0;
            if (!(width > 0))
                return;
            int startPage = static_cast<int>(std::lround(m_startOffset / width));
            float moved = m_down.x - point.x;
            int turn = moved > width * kPageTurnFraction ? 1 : moved < -width * kPageTurnFraction ? -1
                                                                                                  : 0;
            m_session.scrollToPage(startPage + turn);
            return;
        }
        m_session.touchUpInside(m_pressed, point);
        m_pressed.reset();
    }

    // The frame of this moment, as the window shows it next, into a new file of the output
    // folder; an existing file is never replaced.
    void save()
    {
        Frame shown = pictureShown(m_session.render(), m_reader, m_help, m_session, m_options.clock);
        std::error_code ignored;
        std::filesystem::create_directories(m_options.out, ignored);
        std::optional<phone_files::Bytes> png = phone_files::encodePng(shown.get());
        std::filesystem::path file = m_options.out / ("window-" + std::to_string(++m_saved) + ".png");
        // Taken names are skipped; only a new file is ever written, even when one appears meanwhile.
        while (png && !weeapp::sys::writeNewFile(file.string(), std::string_view(reinterpret_cast<const char*>(png->data()), png->size()), weeapp::sys::kAsTheUmaskAllows) && errno == EEXIST)
            file = m_options.out / ("window-" + std::to_string(++m_saved) + ".png");
        if (png && std::filesystem::is_regular_file(file, ignored))
            m_out << "saved " << file.string() << '\n';
        else
            kHostErrors.report(m_errors, "cannot write " + file.string());
    }

public:
    bool takeReload()
    {
        bool reload = m_reload;
        m_reload = false;
        return reload;
    }
    void requestReload() { m_reload = true; }
    bool helpShown() const { return m_help; }

private:
    HostSession& m_session;
    const WindowSetup& m_options;
    WindowReader& m_reader;
    std::ostream& m_out;
    std::ostream& m_errors;
    WindowSettings m_settings;
    std::optional<Backdrop> m_wallpaper;
    bool m_reload { false };
    bool m_help { false };
    int m_saved { 0 };
    bool m_tracking { false };
    bool m_dragging { false };
    weeapp::ui::Point m_down;
    float m_startOffset { 0 };
    std::weak_ptr<weeapp::ui::View> m_pressed;
    int m_pressedButton { -1 };
};

bool hasDisplay()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

}

Result<ExitStatus> runWindowSession(HostSession& session, const WindowSetup& options, std::ostream& out, std::ostream& err)
{
    std::unique_ptr<DesktopDisplay> display = hasDisplay() && options.desktop ? options.desktop->startDisplay() : nullptr;
    if (!display)
        return Error { "there is no display for a window; use --script or --live" };
    session.showView();
    session.viewDidAppear();
    Frame shown = session.render();
    std::unique_ptr<SpeechPlayer> player = options.speech ? options.desktop->openSpeechPlayer(options.speech->sampleRate()) : nullptr;
    WindowReader reader(session, out, err, options.speech, std::move(player), options.speechLanguage);
    std::unique_ptr<DesktopWindow> window;
    {
        Frame picture = pictureShown(shown, reader, false, session, options.paused ? options.clock : nullptr);
        const int width = cairo_image_surface_get_width(picture.get()), height = cairo_image_surface_get_height(picture.get());
        std::string error;
        window = display->openWindow(width, height, error);
        if (!window)
            return Error { "cannot open a window: " + error + "; use --script or --live" };
        show(*window, picture.get());
        out << "window ready " << width << 'x' << height << '\n';
        out.flush();
    }
    // The widget appeared at 0 on the stopped clock; from now on time runs.
    if (options.clock && !options.paused)
        options.clock->resume();

    WindowControls controls(session, options, reader, out, err);
    std::unique_ptr<PhoneWatcher> watcher;
    if (options.watch)
        watcher = std::make_unique<PhoneWatcher>([&controls] { controls.requestReload(); }, std::vector { session.pluginFile() });
    weeapp::sys::RunLoop& loop = weeapp::sys::RunLoop::main();
    bool open = true;
    while (open) {
        if (interrupted())
            return interruptedStatus();
        if (std::optional<WindowEvent> event = window->nextEvent(kFrameInterval)) {
            open = controls.handle(*event, shown);
            while (open && (event = window->nextEvent(0)))
                open = controls.handle(*event, shown);
        }
        loop.runDueTasks();
        // A reload that fails (a bundle being rebuilt, say) leaves the widget shown as it was.
        if (controls.takeReload()) {
            // The fresh controller comes up on the page the old one showed, where there still is one.
            const int page = session.currentPage();
            if (auto reloaded = session.reload(PluginLoader::Loading::Afresh); !reloaded) {
                kHostErrors.begin(err) << "not reloaded: " << reloaded.error() << '\n';
            } else {
                if (page > 0 && page < session.pageCount())
                    session.scrollToPage(page);
                out << "reloaded\n";
            }
        }
        shown = session.render();
        show(*window, pictureShown(shown, reader, controls.helpShown(), session, options.clock).get());
        out.flush();
    }
    return ExitStatus::Success;
}

}
