#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace weeapp::sys {

// A file: URI for the path as SQLite opens one: every byte but ASCII letters, digits and
// "/-._~" escaped as %HH, so that no '?', '#' or '%' in a folder's name is read as part of the
// URI, followed by "?query" when a query is given. A relative path stays relative.
std::string fileUri(const std::filesystem::path& path, std::string_view query = {});

}
