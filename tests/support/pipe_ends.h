#pragma once

#include <weeapp/c_handles.h>

#include <fcntl.h>
#include <unistd.h>

namespace kavrin::testing {

// The two ends of a pipe, each closed with its owner; both empty when no pipe could be made.
struct PipeEnds {
    weeapp::FileDescriptor read;
    weeapp::FileDescriptor write;
};

// With flags as pipe2 takes them (O_CLOEXEC).
inline PipeEnds makePipe(int flags = 0)
{
    int ends[2];
    if (::pipe2(ends, flags) != 0)
        return {};
    return { weeapp::FileDescriptor(ends[0]), weeapp::FileDescriptor(ends[1]) };
}

}
