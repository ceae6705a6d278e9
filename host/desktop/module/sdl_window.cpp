// The preview window through SDL: a software renderer showing each picture pixel for pixel, and
// SDL's events told as the host's window events.

#include "desktop_interface.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kavrin::host {

namespace {

WindowEvent::Key keyOf(SDL_Keycode code, char& character)
{
    switch (code) {
    case SDLK_ESCAPE:
        return WindowEvent::Key::Escape;
    case SDLK_LEFT:
        return WindowEvent::Key::Left;
    case SDLK_UP:
        return WindowEvent::Key::Up;
    case SDLK_RIGHT:
        return WindowEvent::Key::Right;
    case SDLK_DOWN:
        return WindowEvent::Key::Down;
    case SDLK_SLASH:
    case SDLK_QUESTION:
        character = '?';
        return WindowEvent::Key::Character;
    case SDLK_SPACE:
    case SDLK_PERIOD:
    case SDLK_RIGHTBRACKET:
    case SDLK_MINUS:
        character = static_cast<char>(code);
        return WindowEvent::Key::Character;
    case SDLK_PLUS:
    case SDLK_EQUALS:
    case SDLK_KP_PLUS:
        character = '+';
        return WindowEvent::Key::Character;
    case SDLK_KP_MINUS:
        character = '-';
        return WindowEvent::Key::Character;
    default:
        // SDL gives printable keys as their unshifted character.
        if ((code >= SDLK_0 && code <= SDLK_9) || (code >= SDLK_a && code <= SDLK_z)) {
            character = static_cast<char>(code);
            return WindowEvent::Key::Character;
        }
        return WindowEvent::Key::Other;
    }
}

WindowEvent eventOf(const SDL_Event& event)
{
    WindowEvent told;
    switch (event.type) {
    case SDL_QUIT:
        told.kind = WindowEvent::Kind::Close;
        break;
    case SDL_KEYDOWN:
        told.kind = WindowEvent::Kind::KeyDown;
        told.key = keyOf(event.key.keysym.sym, told.character);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        told.kind = event.type == SDL_MOUSEBUTTONDOWN ? WindowEvent::Kind::ButtonDown : WindowEvent::Kind::ButtonUp;
        told.left = event.button.button == SDL_BUTTON_LEFT;
        told.x = event.button.x;
        told.y = event.button.y;
        break;
    case SDL_MOUSEMOTION:
        told.kind = WindowEvent::Kind::PointerMoved;
        told.left = (event.motion.state & SDL_BUTTON_LMASK) != 0;
        told.x = event.motion.x;
        told.y = event.motion.y;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_LEAVE)
            told.kind = WindowEvent::Kind::PointerLeft;
        break;
    case SDL_MOUSEWHEEL:
        told.kind = WindowEvent::Kind::Wheel;
        told.wheelX = event.wheel.x;
        told.wheelY = event.wheel.y;
        break;
    default:
        break;
    }
    return told;
}

class SdlWindow final : public DesktopWindow {
public:
    SdlWindow(SDL_Window* window, SDL_Renderer* renderer)
        : m_window(window)
        , m_renderer(renderer)
    {
    }
    ~SdlWindow() override
    {
        if (m_texture)
            SDL_DestroyTexture(m_texture);
        SDL_DestroyRenderer(m_renderer);
        SDL_DestroyWindow(m_window);
    }
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    void show(const unsigned char* pixels, int width, int height, int stride) override
    {
        if (width != m_width || height != m_height) {
            if (m_texture)
                SDL_DestroyTexture(m_texture);
            m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
            fitToScreen(width, height);
            m_width = width;
            m_height = height;
        }
        if (!m_texture)
            return;
        SDL_UpdateTexture(m_texture, nullptr, pixels, stride);
        SDL_RenderClear(m_renderer);
        SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
        SDL_RenderPresent(m_renderer);
    }

    std::optional<WindowEvent> nextEvent(int milliseconds) override
    {
        SDL_Event event;
        if (milliseconds > 0 ? SDL_WaitEventTimeout(&event, milliseconds) : SDL_PollEvent(&event))
            return eventOf(event);
        return std::nullopt;
    }

private:
    // The window takes the picture's size, or, when that would not fit the screen's usable area
    // (a chooser at 3x, say), the largest size of the same shape that does, moved onto the
    // screen. The renderer's logical size keeps the pointer's positions in picture pixels.
    void fitToScreen(int width, int height)
    {
        SDL_RenderSetLogicalSize(m_renderer, width, height);
        SDL_Rect usable {};
        int top = 0, left = 0, bottom = 0, right = 0;
        const int display = SDL_GetWindowDisplayIndex(m_window);
        double fit = 1;
        if (display >= 0 && SDL_GetDisplayUsableBounds(display, &usable) == 0 && usable.w > 0 && usable.h > 0) {
            (void)SDL_GetWindowBordersSize(m_window, &top, &left, &bottom, &right);
            fit = std::min({ 1.0, double(usable.w - left - right) / width, double(usable.h - top - bottom) / height });
        }
        const int shownWidth = std::max(1, static_cast<int>(width * fit)), shownHeight = std::max(1, static_cast<int>(height * fit));
        SDL_SetTextureScaleMode(m_texture, fit < 1 ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        SDL_SetWindowSize(m_window, shownWidth, shownHeight);
        if (usable.w <= 0)
            return;
        int x = 0, y = 0;
        SDL_GetWindowPosition(m_window, &x, &y);
        const int fittedX = std::clamp(x, usable.x + left, std::max(usable.x + left, usable.x + usable.w - right - shownWidth));
        const int fittedY = std::clamp(y, usable.y + top, std::max(usable.y + top, usable.y + usable.h - bottom - shownHeight));
        if (fittedX != x || fittedY != y)
            SDL_SetWindowPosition(m_window, fittedX, fittedY);
    }

    SDL_Window* m_window;
    SDL_Renderer* m_renderer;
    SDL_Texture* m_texture { nullptr };
    int m_width { 0 }, m_height { 0 };
};

class SdlDisplay final : public DesktopDisplay {
public:
    SdlDisplay() = default;
    ~SdlDisplay() override { SDL_Quit(); }
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    std::unique_ptr<DesktopWindow> openWindow(int width, int height, std::string& error) override
    {
        SDL_Window* window = SDL_CreateWindow("Kavrin", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 0);
        SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
        if (!renderer) {
            error = SDL_GetError();
            if (window)
                SDL_DestroyWindow(window);
            return nullptr;
        }
        return std::make_unique<SdlWindow>(window, renderer);
    }
};

}

}

namespace {

// SDL falls back to a driver that shows nothing when no display answers; a window there would
// never be seen and never end. It is taken only when the user asked for it by name.
bool showsNothing(const char* driver)
{
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

}

extern "C" kavrin::host::DesktopDisplay* kavrinDesktopStartDisplay()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return nullptr;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (showsNothing(SDL_GetCurrentVideoDriver()) && !(asked && showsNothing(asked))) {
        SDL_Quit();
        return nullptr;
    }
    return new kavrin::host::SdlDisplay();
}

extern "C" int kavrinDesktopInterfaceVersion()
{
    return kavrin::host::kDesktopInterfaceVersion;
}
