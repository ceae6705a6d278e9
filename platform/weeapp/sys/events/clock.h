#pragma once

namespace weeapp::sys {

// Seconds on a monotonic scale.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

// Time that moves only when told to: tests and scripted host sessions.
class ManualClock final : public Clock {
public:
    double now() const override { return m_now; }
    void setNow(double seconds) { m_now = seconds; }

private:
    double m_now { 0 };
};

class SystemClock final : public Clock {
public:
    double now() const override;
};

}
