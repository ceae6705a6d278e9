#pragma once

#include <weeapp/sys/clock.h>
#include <weeapp/sys/object.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace weeapp {
class PlatformState;
}

namespace sys {

// Work for the main thread that arrives outside the timed tasks, such as the posts a
// notification centre has queued. A source registers itself with the run loop and withdraws
// before it is destroyed; the loop asks it to perform what is pending.
class RunLoopSource {
public:
    virtual void performPending() = 0;

protected:
    ~RunLoopSource() = default;
};

// The main run loop: delayed calls and the ends of animations, ordered by deadline (equal
// deadlines in the order they were scheduled), against an injected clock, plus the sources of
// other work and the file descriptors it watches for input. Everything runs on the one main
// thread.
//
// Each pass of the loop reads the watched descriptors that are ready (without waiting), lets
// every source perform what is pending, and runs the tasks that are due; the sources perform
// again after every task, so what a task leaves pending is done before the next one runs.
class RunLoop {
public:
    // The current platform state's run loop.
    static RunLoop& main();

    // The clock starts as a ManualClock at 0.
    void setClock(std::shared_ptr<Clock>);
    Clock& clock() const { return *m_clock; }
    double now() const { return m_clock->now(); }

    // Runs task once, delay seconds from now, unless the lifetime has expired by then. A task
    // given an empty lifetime (no receiver) always runs.
    void performAfterDelay(double delay, std::weak_ptr<const void> lifetime, std::function<void()> task);

    // With a ManualClock: moves time forward by seconds, running every task that falls due at
    // its own deadline (the clock reads that deadline while the task runs), including tasks
    // scheduled meanwhile that fall due within the stretch; lets the sources perform.
    // With another clock it runs what is due now and does not wait.
    void advance(double seconds);
    // Runs what is due at the current time, and the sources' pending work, without moving time.
    void runDueTasks();
    // Waits for due tasks and for input on the watched descriptors until the deadline (on the
    // clock's scale), running each as it comes; returns early when stop() is called. With a
    // ManualClock nothing waits in real time: it reads whatever input is ready and advances the
    // clock to the deadline.
    void runUntil(double deadline);
    // runUntil without a deadline, until stop().
    void run() { runUntil(std::numeric_limits<double>::infinity()); }
    void stop() { m_stopped = true; }

    // Watches fd for input: whenever the loop finds it readable it calls onReadable, which must
    // read what is there. Watching an fd again replaces its callback.
    void watchFileDescriptor(int fd, std::function<void()> onReadable);
    void unwatchFileDescriptor(int fd);
    // Waits in real time, at most timeoutSeconds, until a watched descriptor is readable, and
    // runs the callbacks of those that are. Runs no task and no source. False when
    // nothing became readable in time (or nothing is watched).
    bool waitForInput(double timeoutSeconds);

    // Sources perform in the order they were added; adding one twice changes nothing. A source
    // may add or remove sources while it performs.
    void addSource(RunLoopSource&);
    void removeSource(RunLoopSource&);

    // Live tasks still waiting (their receivers not destroyed).
    std::size_t pendingCount() const;
    // The deadline of the earliest live task, or a negative value when none waits.
    double nextDeadline() const;
    void removeAllTasks();

    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

private:
    friend class weeapp::PlatformState;
    RunLoop();
    bool runOneDueTask(double upTo);
    void performSources();
    // Polls the watched descriptors for at most timeoutMilliseconds (-1: no limit).
    bool pollInput(int timeoutMilliseconds);

    struct Task {
        double deadline;
        std::uint64_t sequence;
        bool guarded; // has a receiver whose lifetime decides
        std::weak_ptr<const void> lifetime;
        std::function<void()> run;
        bool isLive() const { return !guarded || !lifetime.expired(); }
    };
    struct Watch {
        int fd;
        std::function<void()> onReadable;
    };
    std::vector<Task> m_tasks; // kept sorted by (deadline, sequence)
    std::vector<Watch> m_watches;
    std::vector<RunLoopSource*> m_sources; // a removed source leaves a null while sources perform
    int m_performingSources { 0 };         // depth of performSources calls
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
