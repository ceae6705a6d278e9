#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace weeapp::sys {

// The phone's file system lives under a root folder: "/" on the phone, a folder of its own for
// the host's --root, a test or the demo phone.
void setPhoneRoot(std::filesystem::path root);
const std::filesystem::path& phoneRoot();

// The real path of one of the phone's absolute paths under the current root.
std::string resolvePhonePath(std::string_view phonePath);

}
