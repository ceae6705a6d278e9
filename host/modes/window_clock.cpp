#include "modes/window_clock.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace kavrin::host {

namespace {

constexpr std::array kSpeeds { 0.25, 0.5, 1.0, 2.0, 4.0 };

}

double WindowClock::now() const
{
    return m_paused ? m_shown : m_shown + (m_real.now() - m_realStart) * m_speed;
}

void WindowClock::pause()
{
    m_shown = now();
    m_paused = true;
}

void WindowClock::resume()
{
    if (!m_paused)
        return;
    m_realStart = m_real.now();
    m_paused = false;
}

void WindowClock::advance(double seconds)
{
    if (!(seconds > 0))
        return;
    m_shown = now() + seconds;
    m_realStart = m_real.now();
}

void WindowClock::setSpeed(double speed)
{
    m_shown = now();
    m_realStart = m_real.now();
    m_speed = speed;
}

bool WindowClock::faster()
{
    auto next = std::upper_bound(kSpeeds.begin(), kSpeeds.end(), m_speed);
    if (next == kSpeeds.end())
        return false;
    setSpeed(*next);
    return true;
}

bool WindowClock::slower()
{
    auto next = std::lower_bound(kSpeeds.begin(), kSpeeds.end(), m_speed);
    if (next == kSpeeds.begin())
        return false;
    setSpeed(*std::prev(next));
    return true;
}

}
