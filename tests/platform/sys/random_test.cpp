#include "sys/random.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>


// A seed replays the same sequence; the values spread over all 32 bits.
TEST(Random, SeededAndSpread)
{
    sys::seedRandom(1234);
    std::vector<std::uint32_t> first;
    for (int i = 0; i < 4000; ++i)
        first.push_back(sys::arc4random());
    sys::seedRandom(1234);
    for (std::uint32_t value : first)
        ASSERT_EQ(sys::arc4random(), value);
    sys::seedRandom(1235);
    EXPECT_NE(sys::arc4random(), first[0]);

    // Every bit is set in roughly half of the values, and small moduli hit every residue.
    std::array<int, 32> bitCounts {};
    std::array<int, 7> residues {};
    for (std::uint32_t value : first) {
        for (int bit = 0; bit < 32; ++bit)
            bitCounts[static_cast<std::size_t>(bit)] += (value >> bit) & 1;
        residues[value % 7]++;
    }
    for (int count : bitCounts) {
        EXPECT_GT(count, 1700);
        EXPECT_LT(count, 2300);
    }
    for (int count : residues)
        EXPECT_GT(count, 450);
}
