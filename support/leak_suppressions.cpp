// Linked into every program of ours. Fontconfig keeps its configuration and font patterns for
// the life of the process and never frees them; the leak checker is not to count them as ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
