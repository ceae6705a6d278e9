#pragma once

#include <cstdint>

namespace weeapp::sys {

// Uniform 32-bit values. Seeded from the system's entropy unless seedRandom was called.
std::uint32_t arc4random();
void seedRandom(std::uint64_t seed);

}
