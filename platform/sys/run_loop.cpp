#include <weeapp/sys/run_loop.h>

#include <weeapp/platform_state.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <climits>
#include <cmath>
#include <poll.h>

namespace sys {

namespace {

// A default-constructed token belongs to no receiver: its task always runs.
bool isUnowned(const std::weak_ptr<const void>& lifetime)
{
    std::weak_ptr<const void> none;
    return !lifetime.owner_before(none) && !none.owner_before(lifetime);
}

int toPollTimeout(double seconds)
{
    if (std::isnan(seconds) || seconds <= 0)
        return 0;
    double milliseconds = std::ceil(seconds * 1000.0);
    if (milliseconds >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(milliseconds);
}

}

RunLoop::RunLoop()
    : m_clock(std::make_shared<ManualClock>())
{
}

RunLoop& RunLoop::main()
{
    return weeapp::PlatformState::current().runLoop();
}

void RunLoop::setClock(std::shared_ptr<Clock> clock)
{
    m_clock = clock ? std::move(clock) : std::make_shared<ManualClock>();
}

void RunLoop::removeAllTasks()
{
    // A task's captures may schedule or drop others as they are destroyed.
    while (!m_tasks.empty()) {
        std::vector<Task> dropped;
        dropped.swap(m_tasks);
    }
}

void RunLoop::performAfterDelay(double delay, std::weak_ptr<const void> lifetime, std::function<void()> task)
{
    if (!task)
        return;
    if (std::isnan(delay) || delay < 0)
        delay = 0;
    bool guarded = !isUnowned(lifetime);
    Task entry { now() + delay, m_sequence++, guarded, std::move(lifetime), std::move(task) };
    auto position = std::upper_bound(m_tasks.begin(), m_tasks.end(), entry.deadline, [](double deadline, const Task& other) {
        return deadline < other.deadline;
    });
    position = m_tasks.insert(position, std::move(entry));
    // Deadlines are kept in order, and a task due at the same moment as others runs after them.
    assert(position == m_tasks.begin() || std::prev(position)->deadline <= position->deadline);
}

bool RunLoop::runOneDueTask(double upTo)
{
    while (!m_tasks.empty() && !m_tasks.front().isLive())
        m_tasks.erase(m_tasks.begin());
    if (m_tasks.empty() || !(m_tasks.front().deadline <= upTo))
        return false;

    Task task = std::move(m_tasks.front());
    m_tasks.erase(m_tasks.begin());
    if (auto* manual = dynamic_cast<ManualClock*>(m_clock.get()); manual && task.deadline > manual->now())
        manual->setNow(task.deadline);
    // Holding the token keeps the receiver's expiry check honest for the length of the call.
    if (!task.guarded) {
        task.run();
    } else if (auto alive = task.lifetime.lock()) {
        task.run();
    }
    performSources();
    return true;
}

void RunLoop::performSources()
{
    // By index: a source may add others (performed in this round too) or remove some (their
    // places stay null until the outermost round ends).
    ++m_performingSources;
    for (std::size_t index = 0; index < m_sources.size(); ++index) {
        if (RunLoopSource* source = m_sources[index])
            source->performPending();
    }
    if (--m_performingSources == 0)
        std::erase(m_sources, nullptr);
}

void RunLoop::addSource(RunLoopSource& source)
{
    if (std::find(m_sources.begin(), m_sources.end(), &source) == m_sources.end())
        m_sources.push_back(&source);
}

void RunLoop::removeSource(RunLoopSource& source)
{
    if (m_performingSources > 0)
        std::replace(m_sources.begin(), m_sources.end(), &source, static_cast<RunLoopSource*>(nullptr));
    else
        std::erase(m_sources, &source);
}

void RunLoop::advance(double seconds)
{
    auto* manual = dynamic_cast<ManualClock*>(m_clock.get());
    if (!manual || !std::isfinite(seconds) || seconds <= 0) {
        runDueTasks();
        return;
    }
    const double target = manual->now() + seconds;
    pollInput(0);
    performSources();
    while (runOneDueTask(target)) { }
    if (manual->now() < target)
        manual->setNow(target);
}

void RunLoop::runDueTasks()
{
    pollInput(0);
    performSources();
    while (runOneDueTask(now())) { }
}

void RunLoop::runUntil(double deadline)
{
    m_stopped = false;
    if (dynamic_cast<ManualClock*>(m_clock.get())) {
        advance(deadline - now());
        return;
    }
    while (!m_stopped) {
        pollInput(0);
        performSources();
        while (!m_stopped && runOneDueTask(now())) { }
        if (m_stopped)
            break;
        const double current = now();
        if (current >= deadline)
            break;
        double wake = deadline;
        if (double next = nextDeadline(); next >= 0 && next < wake)
            wake = next;
        if (std::isinf(wake) && m_watches.empty())
            break; // nothing could ever wake us
        pollInput(std::isinf(wake) ? -1 : std::max(1, toPollTimeout(wake - current)));
    }
}

void RunLoop::watchFileDescriptor(int fd, std::function<void()> onReadable)
{
    if (fd < 0 || !onReadable)
        return;
    for (Watch& watch : m_watches) {
        if (watch.fd == fd) {
            watch.onReadable = std::move(onReadable);
            return;
        }
    }
    m_watches.push_back(Watch { fd, std::move(onReadable) });
}

void RunLoop::unwatchFileDescriptor(int fd)
{
    std::erase_if(m_watches, [fd](const Watch& watch) { return watch.fd == fd; });
}

bool RunLoop::waitForInput(double timeoutSeconds)
{
    if (m_watches.empty())
        return false;
    return pollInput(toPollTimeout(timeoutSeconds));
}

bool RunLoop::pollInput(int timeoutMilliseconds)
{
    std::vector<pollfd> descriptors;
    descriptors.reserve(m_watches.size());
    for (const Watch& watch : m_watches)
        descriptors.push_back(pollfd { watch.fd, POLLIN, 0 });
    int ready = ::poll(descriptors.data(), descriptors.size(), timeoutMilliseconds);
    if (ready <= 0)
        return false;
    bool anyReadable = false;
    for (const pollfd& descriptor : descriptors) {
        if (descriptor.revents == 0)
            continue;
        if (descriptor.revents & POLLNVAL) {
            // Closed without being unwatched: forget it rather than spin on it.
            unwatchFileDescriptor(descriptor.fd);
            continue;
        }
        // A callback may unwatch others; look each one up afresh.
        auto watch = std::find_if(m_watches.begin(), m_watches.end(), [&](const Watch& entry) { return entry.fd == descriptor.fd; });
        if (watch == m_watches.end())
            continue;
        anyReadable = true;
        std::function<void()> onReadable = watch->onReadable;
        onReadable();
    }
    return anyReadable;
}

std::size_t RunLoop::pendingCount() const
{
    return static_cast<std::size_t>(std::count_if(m_tasks.begin(), m_tasks.end(), [](const Task& task) { return task.isLive(); }));
}

double RunLoop::nextDeadline() const
{
    for (const Task& task : m_tasks) {
        if (task.isLive())
            return task.deadline;
    }
    return -1;
}

}
