#pragma once

#include "error_reporter.h"

namespace kavrin::host {

// How the host says what went wrong, in every mode.
inline constexpr support::ErrorReporter kHostErrors { "kavrin-host" };

}
