#include <weeapp/sys/random.h>

#include <gtest/gtest.h>

#include <array>
#include <vector>

// A seed replays the same sequence, and the values use all 32 bits about evenly.
TEST(Random, SeededAndSpread)
{
    weeapp::sys::seedRandom(1234);
    std::vector<std::uint32_t> first;
    for (int i = 0; i < 4000; ++i)
        first.push_back(weeapp::sys::arc4random());
    weeapp::sys::seedRandom(1234);
    for (std::uint32_t value : first)
        ASSERT_EQ(weeapp::sys::arc4random(), value);

    std::array<int, 32> bitCounts {};
    for (std::uint32_t value : first) {
        for (std::size_t bit = 0; bit < 32; ++bit)
            bitCounts[bit] += (value >> bit) & 1;
    }
    for (int count : bitCounts)
        EXPECT_TRUE(count > 1700 && count < 2300) << count;
}
