#include "base/interruption.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <ios>

namespace kavrin::host {

namespace {

volatile sig_atomic_t g_signal = 0;
// Written to by the handler, so that a wait on input can wait on it too without a race between
// looking at g_signal and starting to wait.
int g_wakeUp[2] = { -1, -1 };

void record(int signalNumber)
{
    int saved = errno;
    g_signal = signalNumber;
    if (g_wakeUp[1] >= 0) {
        [[maybe_unused]] ssize_t ignored = ::write(g_wakeUp[1], "", 1);
    }
    errno = saved;
}

}

void catchInterruptions()
{
    if (g_wakeUp[0] < 0 && ::pipe2(g_wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        g_wakeUp[0] = g_wakeUp[1] = -1;
    struct sigaction action { };
    action.sa_handler = record;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking call returns so that the caller sees the interruption.
    action.sa_flags = 0;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

bool interrupted()
{
    return g_signal != 0;
}

ExitStatus interruptedStatus()
{
    switch (g_signal) {
    case SIGHUP:
        return ExitStatus::Hangup;
    case SIGINT:
        return ExitStatus::Interrupt;
    default:
        assert(g_signal == SIGTERM);
        return ExitStatus::Terminate;
    }
}

InterruptibleInput::int_type InterruptibleInput::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    while (!interrupted()) {
        pollfd waits[2] = { { m_fd, POLLIN, 0 }, { g_wakeUp[0], POLLIN, 0 } };
        int ready = ::poll(waits, g_wakeUp[0] >= 0 ? 2 : 1, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || interrupted())
            break;
        ssize_t got = ::read(m_fd, m_buffer, sizeof m_buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        // A read error must not pass for the end of the input: the stream goes bad.
        if (got < 0)
            throw std::ios_base::failure("cannot read");
        if (got == 0)
            break;
        setg(m_buffer, m_buffer, m_buffer + got);
        return traits_type::to_int_type(*gptr());
    }
    return traits_type::eof();
}

}
