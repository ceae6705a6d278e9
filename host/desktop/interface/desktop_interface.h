#pragma once

// What the desktop module (this folder) gives the host: speech synthesis, a sound device and a
// window with its input. The host keeps every decision; the module only talks to SDL and
// espeak-ng, so that a host that runs scripts never maps those libraries. Both sides are built
// together; the interface version catches a module left over from another build.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

// Turns text into 16-bit mono samples. There is one synthesizer per process.
class SpeechSynthesizer {
public:
    virtual ~SpeechSynthesizer() = default;
    virtual int sampleRate() const = 0;
    // Takes the voice of a lower-case language code ("de-at", "de", "en"); false when it has none.
    virtual bool selectVoice(const std::string& language) = 0;
    // The text's speech, a short pause at its end.
    virtual std::vector<std::int16_t> speak(const std::string& text) = 0;
};

// Plays samples on the sound device, one utterance at a time: a new one cuts off the one still
// playing.
class SpeechPlayer {
public:
    virtual ~SpeechPlayer() = default;
    virtual void play(const std::vector<std::int16_t>& samples) = 0;
};

// One thing that happened to the window, in window pixels.
struct WindowEvent {
    enum class Kind { Other,
        Close,
        KeyDown,
        ButtonDown,
        ButtonUp,
        PointerMoved,
        PointerLeft,
        Wheel };
    enum class Key { Other,
        Character,
        Escape,
        Left,
        Up,
        Right,
        Down };
    Kind kind { Kind::Other };
    Key key { Key::Other };
    char character { 0 };           // Key::Character: the key's character, digits and lower-case letters
    int x { 0 }, y { 0 };           // the pointer's position for the buttons and PointerMoved
    bool left { false };            // ButtonDown/ButtonUp: the left button; PointerMoved: it is held down
    int wheelX { 0 }, wheelY { 0 }; // Wheel: right and away from the user are positive
};

// A window showing 32-bit premultiplied ARGB pictures (a Cairo image surface's pixels).
class DesktopWindow {
public:
    virtual ~DesktopWindow() = default;
    // Shows the picture pixel for pixel, the window resized to it.
    virtual void show(const unsigned char* pixels, int width, int height, int stride) = 0;
    // The next event, waiting up to the time for one (0: only one that is already there).
    virtual std::optional<WindowEvent> nextEvent(int milliseconds) = 0;
};

// The connection to the display, for as long as it lives; it outlives its windows.
class DesktopDisplay {
public:
    virtual ~DesktopDisplay() = default;
    // A window of that size, or nothing with the reason in error.
    virtual std::unique_ptr<DesktopWindow> openWindow(int width, int height, std::string& error) = 0;
};

}

// The module's entry points. Each hands over a new object, or nullptr when the synthesizer, the
// sound device or the display cannot start.
extern "C" {
int kavrinDesktopInterfaceVersion();
kavrin::host::SpeechSynthesizer* kavrinDesktopStartSynthesizer();
kavrin::host::SpeechPlayer* kavrinDesktopOpenSpeechPlayer(int sampleRate);
kavrin::host::DesktopDisplay* kavrinDesktopStartDisplay();
}

namespace kavrin::host {

// Where the host finds them: the module's file name and the names of the entry points.
inline constexpr int kDesktopInterfaceVersion = 1;
inline constexpr const char* kDesktopModuleFile = "kavrin-host-desktop.so";
inline constexpr const char* kDesktopInterfaceVersionSymbol = "kavrinDesktopInterfaceVersion";
inline constexpr const char* kStartSynthesizerSymbol = "kavrinDesktopStartSynthesizer";
inline constexpr const char* kOpenSpeechPlayerSymbol = "kavrinDesktopOpenSpeechPlayer";
inline constexpr const char* kStartDisplaySymbol = "kavrinDesktopStartDisplay";

}
