#pragma once

#include <filesystem>
#include <string>

namespace kavrin::tooling {

// The plug-in bundle this build made, which a demo phone links to.
std::filesystem::path builtBundleFolder();

// Writes the demo phone, a complete phone root: the favorites list of the demo contacts, the two
// address-book databases with their thumbnails, a settings file, and the bundle (a symbolic link
// to bundleFolder). Files already there are replaced. On failure the reason is in error.
bool writeDemoPhone(const std::filesystem::path& root, const std::filesystem::path& bundleFolder, std::string& error);

// Whether root already holds a demo phone's favorites list and bundle.
bool demoPhoneExists(const std::filesystem::path& root);

}
