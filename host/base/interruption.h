#pragma once

#include "base/exit_status.h"

#include <streambuf>

namespace kavrin::host {

// SIGINT, SIGTERM and SIGHUP (a closed terminal) end the host between two steps, never in the
// middle of writing a file: the handler only records the signal, and each mode looks for it
// where it may stop (between script lines and demo steps, between recorded frames, at every
// picture of the live view, at every frame of the window) and then ends with
// interruptedStatus(), the status of the signal, after cleaning up what it made.
void catchInterruptions();
bool interrupted();
ExitStatus interruptedStatus();

// Standard input or a script file read so that an interruption ends a wait for the next line at
// once: the stream then ends as if the input had.
class InterruptibleInput : public std::streambuf {
public:
    explicit InterruptibleInput(int fd)
        : m_fd(fd) { }

protected:
    int_type underflow() override;

private:
    int m_fd;
    char m_buffer[4096];
};

}
