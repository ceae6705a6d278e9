#pragma once

#include <filesystem>

namespace kavrin::phone_files {

// Where the demo phone lives when no root is given: $KAVRIN_DEMO_PHONE, else "demo-phone" in
// the checkout whose build folder holds the running program (BUILD/bin/PROGRAM, BUILD inside
// the checkout), else, for an installed program (PREFIX/bin/PROGRAM beside
// PREFIX/share/kavrin/), "kavrin/demo-phone" in the user's data folder ($XDG_DATA_HOME, else
// ~/.local/share), else "demo-phone" in the checkout this was built from. Never the current
// folder.
std::filesystem::path defaultDemoPhoneRoot();

// Whether the folders on the way to that root may be made: only for the user's data folder of
// an installed program, where nothing of the user's stands.
bool demoPhoneFoldersMayBeMade(const std::filesystem::path& root);

// The folder of the running program (from /proc/self/exe); empty when it cannot be told.
std::filesystem::path programFolder();

}
