#include "prefs_command.h"

#include <weeapp/platform_state.h>

#include <iostream>

int main(int argc, char** argv)
{
    weeapp::PlatformState platform;
    return kavrin::prefs::runPrefsCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
