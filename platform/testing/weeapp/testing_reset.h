#pragma once

namespace weeapp {

// Returns the platform's singletons to how a new session finds them: no delayed calls or ends of
// animations on the main run loop, no animation open or running, no observers in the local
// notification centre, and the system-wide one without observers, pending posts or transport.
// Tests, benchmarks and fuzz targets call it between runs; the clock, the user defaults, the
// random seed, the phone root and the alert and URL handlers stay theirs to set.
void resetForTests();

}
