#pragma once

#include <filesystem>

namespace kavrin::phone_files {

// The folder every phone root has (the user's folder, "/private/var/mobile"). A writer asked to
// change the settings under a root without it refuses unless told to create it, so that a
// mistyped root does not grow a phone's folders.
inline constexpr const char* kPhoneUserFolder = "/private/var/mobile";
bool looksLikePhoneRoot(const std::filesystem::path& root);

}
