#include "window_session.h"

#include "phone_watcher.h"
#include "png_writer.h"
#include "sys/file_writing.h"
#include "window_reader.h"
#include "sys/run_loop.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
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

// The desktop window and the texture the frames go into.
class PreviewWindow {
public:
    ~PreviewWindow()
    {
        if (m_texture)
            SDL_DestroyTexture(m_texture);
        if (m_renderer)
            SDL_DestroyRenderer(m_renderer);
        if (m_window)
            SDL_DestroyWindow(m_window);
    }

    bool open(int width, int height)
    {
        m_window = SDL_CreateWindow("Kavrin", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 0);
        if (!m_window)
            return false;
        m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
        return m_renderer != nullptr;
    }

    // Shows the frame pixel for pixel, the window resized to it.
    void show(cairo_surface_t* frame)
    {
        int width = cairo_image_surface_get_width(frame), height = cairo_image_surface_get_height(frame);
        if (width != m_width || height != m_height) {
            if (m_texture)
                SDL_DestroyTexture(m_texture);
            m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
            SDL_SetWindowSize(m_window, width, height);
            m_width = width;
            m_height = height;
        }
        if (!m_texture)
            return;
        cairo_surface_flush(frame);
        SDL_UpdateTexture(m_texture, nullptr, cairo_image_surface_get_data(frame), cairo_image_surface_get_stride(frame));
        SDL_RenderClear(m_renderer);
        SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
        SDL_RenderPresent(m_renderer);
    }

private:
    SDL_Window* m_window { nullptr };
    SDL_Renderer* m_renderer { nullptr };
    SDL_Texture* m_texture { nullptr };
    int m_width { 0 }, m_height { 0 };
};

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Frame = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The frame with the reader's caption under it while the reader is on, else a reference to the
// same frame.
Frame pictureShown(const Frame& frame, const WindowReader& reader)
{
    if (cairo_surface_t* captioned = reader.captioned(frame.get()))
        return Frame(captioned);
    return Frame(cairo_surface_reference(frame.get()));
}

// What the mouse and keys do to the session.
class WindowControls {
public:
    WindowControls(HostSession& session, const WindowOptions& options, WindowReader& reader, std::ostream& out)
        : m_session(session)
        , m_options(options)
        , m_reader(reader)
        , m_out(out)
    {
        if (session.backdrop().kind() == Backdrop::Kind::Wallpaper)
            m_wallpaper = session.backdrop();
    }

    // False once the window is to close.
    bool handle(const SDL_Event& event, const Frame& shown)
    {
        switch (event.type) {
        case SDL_QUIT:
            return false;
        case SDL_KEYDOWN:
            return key(event.key.keysym.sym);
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT)
                press(pointOf(event.button.x, event.button.y), shown);
            return true;
        case SDL_MOUSEMOTION:
            if (event.motion.state & SDL_BUTTON_LMASK)
                drag(pointOf(event.motion.x, event.motion.y));
            else
                m_reader.pointerAt(pointOf(event.motion.x, event.motion.y), pointsWide(shown, m_session.scale()), pointsHigh(shown, m_session.scale()));
            return true;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_LEAVE)
                m_reader.pointerLeft();
            return true;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT)
                release(pointOf(event.button.x, event.button.y), shown);
            return true;
        case SDL_MOUSEWHEEL: {
            int steps = event.wheel.x != 0 ? event.wheel.x : -event.wheel.y;
            if (steps != 0 && !m_session.visibleAlert())
                m_session.scrollToPage(m_session.currentPage() + (steps > 0 ? 1 : -1));
            return true;
        }
        default:
            return true;
        }
    }

private:
    ui::Point pointOf(int x, int y) const
    {
        float scale = static_cast<float>(m_session.scale());
        return { static_cast<float>(x) / scale, static_cast<float>(y) / scale };
    }

    static double pointsWide(const Frame& frame, int scale) { return frame ? cairo_image_surface_get_width(frame.get()) / double(scale) : 0; }
    static double pointsHigh(const Frame& frame, int scale) { return frame ? cairo_image_surface_get_height(frame.get()) / double(scale) : 0; }

    bool key(SDL_Keycode code)
    {
        switch (code) {
        case SDLK_q:
        case SDLK_ESCAPE:
            return false;
        case SDLK_LEFT:
        case SDLK_UP:
        case SDLK_RIGHT:
        case SDLK_DOWN:
            if (!m_session.visibleAlert())
                m_session.scrollToPage(m_session.currentPage() + (code == SDLK_LEFT || code == SDLK_UP ? -1 : 1));
            return true;
        case SDLK_1:
        case SDLK_2:
        case SDLK_3:
            m_session.setScale(static_cast<int>(code - SDLK_0));
            return true;
        case SDLK_b:
            m_session.setBackdrop(m_session.backdrop().next(m_wallpaper));
            m_out << "backdrop " << m_session.backdrop().name() << '\n';
            return true;
        case SDLK_r:
            m_reload = true;
            return true;
        case SDLK_s:
            save();
            return true;
        case SDLK_v:
            m_reader.toggle();
            return true;
        default:
            return true;
        }
    }

    void press(ui::Point point, const Frame& shown)
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
        ui::ScrollView* scroll = m_session.scrollView();
        m_startOffset = scroll ? scroll->contentOffset().x : 0;
        m_tracking = true;
    }

    void drag(ui::Point point)
    {
        ui::ScrollView* scroll = m_session.scrollView();
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

    void release(ui::Point point, const Frame& shown)
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
            ui::ScrollView* scroll = m_session.scrollView();
            float width = scroll ? scroll->bounds().width() : 0;
            if (!(width > 0))
                return;
            int startPage = static_cast<int>(std::lround(m_startOffset / width));
            float moved = m_down.x - point.x;
            int turn = moved > width * kPageTurnFraction ? 1 : moved < -width * kPageTurnFraction ? -1 : 0;
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
        Frame shown = pictureShown(Frame(m_session.render()), m_reader);
        std::error_code ignored;
        std::filesystem::create_directories(m_options.out, ignored);
        std::optional<tooling::Bytes> png = tooling::encodePng(shown.get());
        std::filesystem::path file = m_options.out / ("window-" + std::to_string(++m_saved) + ".png");
        // Taken names are skipped; only a new file is ever written, even when one appears meanwhile.
        while (png && !sys::writeNewFile(file.string(), std::string_view(reinterpret_cast<const char*>(png->data()), png->size())) && errno == EEXIST)
            file = m_options.out / ("window-" + std::to_string(++m_saved) + ".png");
        if (png && std::filesystem::is_regular_file(file, ignored))
            m_out << "saved " << file.string() << '\n';
        else
            m_out << "cannot write " << file.string() << '\n';
    }

public:
    bool takeReload()
    {
        bool reload = m_reload;
        m_reload = false;
        return reload;
    }
    void requestReload() { m_reload = true; }

private:
    HostSession& m_session;
    const WindowOptions& m_options;
    WindowReader& m_reader;
    std::ostream& m_out;
    std::optional<Backdrop> m_wallpaper;
    bool m_reload { false };
    int m_saved { 0 };
    bool m_tracking { false };
    bool m_dragging { false };
    ui::Point m_down;
    float m_startOffset { 0 };
    std::weak_ptr<ui::View> m_pressed;
    int m_pressedButton { -1 };
};

bool hasDisplay()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

}

int runWindowSession(HostSession& session, const WindowOptions& options, std::ostream& out, std::ostream& err)
{
    if (!hasDisplay() || SDL_Init(SDL_INIT_VIDEO) != 0) {
        err << "kavrin-host: there is no display for a window; use --script or --live\n";
        return 2;
    }
    int status = 0;
    {
        session.showView();
        session.viewDidAppear();
        Frame shown(session.render());
        WindowReader reader(session, out, err, options.speech, options.speechLanguage);
        PreviewWindow window;
        {
            Frame picture = pictureShown(shown, reader);
            const int width = cairo_image_surface_get_width(picture.get()), height = cairo_image_surface_get_height(picture.get());
            if (!window.open(width, height)) {
                err << "kavrin-host: cannot open a window: " << SDL_GetError() << "; use --script or --live\n";
                SDL_Quit();
                return 2;
            }
            window.show(picture.get());
            out << "window ready " << width << 'x' << height << '\n';
            out.flush();
        }

        WindowControls controls(session, options, reader, out);
        std::unique_ptr<PhoneWatcher> watcher;
        if (options.watch)
            watcher = std::make_unique<PhoneWatcher>([&controls] { controls.requestReload(); });
        sys::RunLoop& loop = sys::RunLoop::main();
        bool open = true;
        while (open) {
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, kFrameInterval)) {
                open = controls.handle(event, shown);
                while (open && SDL_PollEvent(&event))
                    open = controls.handle(event, shown);
            }
            loop.runDueTasks();
            if (controls.takeReload()) {
                if (auto reloaded = session.reload(); !reloaded) {
                    err << "kavrin-host: " << reloaded.error() << '\n';
                    status = 1;
                    break;
                }
                out << "reloaded\n";
            }
            shown.reset(session.render());
            window.show(pictureShown(shown, reader).get());
            out.flush();
        }
    }
    SDL_Quit();
    return status;
}

}
