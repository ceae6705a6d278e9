#pragma once

#include "reader/screen_reader.h"
#include "reader/speech_recorder.h"
#include "session/host_session.h"
#include <weeapp/c_handles.h>

#include <cairo.h>

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

namespace kavrin::host {

// The preview window's screen reader. While it is on, each time the pointer comes onto an
// element (a tile, the page control, an alert's button) the element is printed as the script's
// describe prints it, shown in a caption strip under the widget and, with a speech recorder,
// spoken into the recording and out loud on the sound device when there is one.
class WindowReader {
public:
    // With a speaker and no player, err hears once that there is no sound device to speak on.
    WindowReader(HostSession&, std::ostream& out, std::ostream& err, SpeechRecorder* speaker, std::unique_ptr<SpeechPlayer> player, std::string language);

    bool isOn() const { return m_on; }
    // Prints "reader on" or "reader off".
    void toggle();

    // The pointer at a point of the window's picture (of that size, in points); off the picture
    // it rests on nothing.
    void pointerAt(ui::Point, double pictureWidth, double pictureHeight);
    void pointerLeft();

    // The frame as the window shows it: while the reader is on, a new picture with the caption
    // strip under the frame (the caller destroys it); otherwise nullptr.
    weeapp::CairoSurface captioned(cairo_surface_t* frame) const;

private:
    void announce(const ScreenReader::Hovered&);

    HostSession& m_session;
    ScreenReader m_reader { m_session };
    std::ostream& m_out;
    SpeechRecorder* m_speaker;
    std::unique_ptr<SpeechPlayer> m_player;
    std::string m_language;
    bool m_on;
    std::optional<ScreenReader::Hovered> m_hovered;
    std::string m_caption;
};

// What the caption says for an element: its label, value and hint, those it has.
std::string captionText(const ui::AccessibilityDescription&);

}
