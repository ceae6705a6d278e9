#pragma once

#include <cstddef>

namespace kavrin::testing {

// The largest single block asked of operator new on this thread while a LargestAllocation is
// alive; the test program's operator new reports every request to it.
class LargestAllocation {
public:
    LargestAllocation();
    ~LargestAllocation();
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    std::size_t bytes() const;
};

}
