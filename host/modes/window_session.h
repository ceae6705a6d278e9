#pragma once

#include "base/exit_status.h"
#include "desktop/desktop_module.h"
#include "modes/window_clock.h"
#include "reader/speech_recorder.h"
#include "render/backdrop.h"
#include "session/host_session.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace kavrin::host {

struct WindowSetup {
    const DesktopModule* desktop { nullptr }; // the window, its input and the sound device
    std::filesystem::path out { "out" };      // where s saves the frame
    bool watch { false };                     // reload when the favorites, address book or plug-in change
    SpeechRecorder* speech { nullptr };       // with it, the reader is on from the start and speaks
    std::string speechLanguage { "en" };
    WindowClock* clock { nullptr }; // the run loop's clock, which the time keys control
    bool paused { false };          // the clock stays stopped at 0 until space
};

// Shows the widget of the phone root in a desktop window on the real clock, as the renderer draws
// it at the session's scale on its backdrop, until q, Escape (when no chooser is open) or the
// window is closed (status 0). A click is a tap with touch-up-inside rules, a drag or the wheel
// scrolls and pages, and an alert's buttons are clicked where they are drawn; Escape presses its
// cancel button. Keys: arrows page, 1 2 3 set the scale, b cycles the backdrops, r reloads, s
// saves the frame shown into the output folder, v turns the screen reader on and off
// (window_reader.h), h or ? shows the keys, the settings keys of window_settings.h change the
// widget's settings, and space, ., ], + and - pause, step, move on and speed the clock. Prints "window ready WxH" once the first frame is up. Without a display,
// or when the window cannot be opened, the error says so.
Result<ExitStatus> runWindowSession(HostSession&, const WindowSetup&, std::ostream& out, std::ostream& err);

}
