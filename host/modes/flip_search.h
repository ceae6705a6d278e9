#pragma once

#include "session/host_session.h"

namespace kavrin::host {

// Moves the manual clock on in small steps until a flip has turned a tile of the page in view
// for `into` seconds. The widget flips a random tile, often one off the page; with the seed
// fixed this finds the same moment at every run. False when no such flip comes within `limit`
// seconds.
bool advanceToVisibleFlip(HostSession&, double into, double limit = 120);

}
