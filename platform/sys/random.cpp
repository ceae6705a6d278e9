#include <weeapp/sys/random.h>

#include <random>

namespace sys {

namespace {

std::mt19937& engine()
{
    static std::mt19937 generator = [] {
        std::random_device entropy;
        std::seed_seq seeds { entropy(), entropy(), entropy(), entropy() };
        return std::mt19937(seeds);
    }();
    return generator;
}

}

std::uint32_t arc4random()
{
    return static_cast<std::uint32_t>(engine()());
}

void seedRandom(std::uint64_t seed)
{
    std::seed_seq seeds { static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32) };
    engine().seed(seeds);
}

}
