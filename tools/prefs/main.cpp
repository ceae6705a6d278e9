#include "prefs_command.h"

#include <iostream>

int main(int argc, char** argv)
{
    return kavrin::prefs::runPrefsCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
