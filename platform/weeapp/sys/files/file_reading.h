#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace weeapp::sys {

// Whether a symbolic link at the path itself is read through or counts as not a regular file.
enum class FinalLink { Follow,
    Refuse };

// The bytes of a regular file at a real file-system path (not resolved), read without blocking
// so that a FIFO cannot stall the reader; nothing for a missing file, anything but a regular
// file, a read error or more than maximumSize bytes.
std::optional<std::string> readWholeFile(const std::string& filePath, std::uintmax_t maximumSize = 64u << 20, FinalLink = FinalLink::Follow);

}
