#include "platform/ui/images/largest_allocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_watching = false;
thread_local std::size_t t_largest = 0;

void* allocate(std::size_t size)
{
    if (t_watching && size > t_largest)
        t_largest = size;
    return std::malloc(size == 0 ? 1 : size);
}

}

namespace kavrin::testing {

LargestAllocation::LargestAllocation()
{
    t_largest = 0;
    t_watching = true;
}

LargestAllocation::~LargestAllocation()
{
    t_watching = false;
}

std::size_t LargestAllocation::bytes() const
{
    return t_largest;
}

}

// Every unaligned form is replaced, so each block is freed by the function family that made it.
void* operator new(std::size_t size)
{
    if (void* block = allocate(size))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
