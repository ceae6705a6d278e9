// A shared object that acts the moment it is loaded: its constructor writes the file named by
// KAVRIN_TEST_CONSTRUCTOR_FILE. It has no entry point, so a host that loads it says so; a host
// that refuses it leaves the file unwritten.
#include <weeapp/c_handles.h>

#include <cstdio>
#include <cstdlib>

__attribute__((constructor)) static void writeOnLoad()
{
    if (const char* name = std::getenv("KAVRIN_TEST_CONSTRUCTOR_FILE")) {
        if (const weeapp::StdioFile file { std::fopen(name, "w") })
            std::fputs("loaded\n", file.get());
    }
}
