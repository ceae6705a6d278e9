#pragma once

#include <weeapp/sys/events/clock.h>

namespace kavrin::host {

// The preview window's clock: real time from 0, which can be paused (everything on it, flips
// included, holds where it is), stepped while paused, moved on at once, and run slower or faster
// (a quarter to four times). It starts paused, so that what the widget does as it appears
// happens at 0 as in a script, and runs once the window is up.
class WindowClock final : public weeapp::sys::Clock {
public:
    double now() const override;

    bool paused() const { return m_paused; }
    void pause();
    void resume();
    // Moves the clock on by seconds (a step while paused, a jump while running).
    void advance(double seconds);
    double speed() const { return m_speed; }
    // The next of ¼, ½, 1, 2 and 4 times real time up (faster) or down; false at either end.
    bool faster();
    bool slower();

private:
    void setSpeed(double speed);

    weeapp::sys::SystemClock m_real;
    bool m_paused { true };
    double m_shown { 0 };     // the time while paused, or when the clock last started running
    double m_realStart { 0 }; // the real time when it last started running
    double m_speed { 1 };
};

}
