#pragma once

#include "sys/clock.h"
#include "sys/object.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace sys {

// The main run loop: delayed calls and the ends of animations, ordered by deadline (equal
// deadlines in the order they were scheduled), against an injected clock, plus the pending
// system-wide notifications. Everything runs on the one main thread.
class RunLoop {
public:
    static RunLoop& main();

    // The clock starts as a ManualClock at 0.
    void setClock(std::shared_ptr<Clock>);
    Clock& clock() const { return *m_clock; }
    double now() const { return m_clock->now(); }

    // Runs task once, delay seconds from now, unless the lifetime has expired by then.
    void performAfterDelay(double delay, std::weak_ptr<const void> lifetime, std::function<void()> task);

    // With a ManualClock: moves time forward by seconds, running every task that falls due at
    // its own deadline (the clock reads that deadline while the task runs), including tasks
    // scheduled meanwhile that fall due within the stretch; delivers pending notifications.
    void advance(double seconds);
    // Runs what is due at the current time, and pending notifications, without moving time.
    void runDueTasks();
    // With any clock: waits for due tasks and for the notification transport until the
    // deadline, running each as it comes. Returns early when stop() is called.
    void runUntil(double deadline);
    void stop() { m_stopped = true; }

    // Live tasks still waiting (their receivers not destroyed).
    std::size_t pendingCount() const;
    // The deadline of the earliest live task, or a negative value when none waits.
    double nextDeadline() const;
    void removeAllTasks() { m_tasks.clear(); }

private:
    RunLoop();
    bool runOneDueTask(double upTo);

    struct Task {
        double deadline;
        std::uint64_t sequence;
        std::weak_ptr<const void> lifetime;
        std::function<void()> run;
    };
    std::vector<Task> m_tasks; // kept sorted by (deadline, sequence)
    std::uint64_t m_sequence { 0 };
    std::shared_ptr<Clock> m_clock;
    bool m_stopped { false };
};

// performSelector:withObject:afterDelay: with object nil.
template<typename Target>
void performSelectorWithObjectAfterDelay(Target* target, void (Target::*selector)(), std::nullptr_t, double delay)
{
    RunLoop::main().performAfterDelay(delay, target->lifetime(), [target, selector] { (target->*selector)(); });
}

}
