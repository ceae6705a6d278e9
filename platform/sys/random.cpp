#include <weeapp/sys/random.h>

#include <weeapp/platform_objects.h>

namespace sys {

std::uint32_t arc4random()
{
    return static_cast<std::uint32_t>(weeapp::currentObjects().random());
}

void seedRandom(std::uint64_t seed)
{
    std::seed_seq seeds { static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32) };
    weeapp::currentObjects().random.seed(seeds);
}

}
