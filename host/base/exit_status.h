#pragma once

#include <string>

namespace kavrin::host {

// How kavrin-host ends, as --help and the README list the statuses.
enum class ExitStatus : int {
    // The script, the protocol session, the demo, the live view, the window or the gallery ran
    // to its end.
    Success = 0,
    // No loadable plug-in, the demo phone or a picture not written, a state changed since the
    // earlier gallery, or a finding of the audit.
    Failure = 1,
    // A usage error, or something given that cannot be used: a folder, script, backdrop or
    // display; a bad script line or a command that failed.
    Usage = 2,
    // Ended by SIGHUP, SIGINT or SIGTERM: 128 and the signal's number.
    Hangup = 129,
    Interrupt = 130,
    Terminate = 143,
};

// What ends the host before its mode's end: the message it reports, and its status.
struct Stop {
    ExitStatus status;
    std::string message;
};

}
