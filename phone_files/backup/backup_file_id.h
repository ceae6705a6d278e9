#pragma once

#include <string>
#include <string_view>

namespace kavrin::phone_files {

// The name a backup gives a file's copy: the lower-case hexadecimal SHA-1 of "DOMAIN-PATH".
std::string backupFileId(std::string_view domain, std::string_view relativePath);

}
