#include <gtest/gtest.h>

// Fontconfig keeps its configuration and font patterns for the life of the process and never
// frees them; they are not ours to leak.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
