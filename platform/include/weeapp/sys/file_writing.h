#pragma once

#include <string>
#include <string_view>

namespace sys {

// Replaces the file at a real file-system path (not resolved) atomically: the bytes go to a
// hidden temporary file in the same folder, are flushed to disk and renamed over the old file,
// so a reader sees the old file or the new one, never part of one. The new file keeps the old
// one's permissions (a new file is readable by everyone). False on any failure, with the old
// file untouched and no temporary file left.
bool writeFileAtomically(const std::string& filePath, std::string_view bytes);

// Writes the bytes into a file that must not exist yet (a link there counts as existing), owner
// only unless a wider mode is given (which the umask narrows, as for any new file), and flushes
// them to disk. The file appears whole or not at all, even when the process is stopped part-way.
// False on any failure (errno EEXIST when something is there), with nothing left behind.
inline constexpr unsigned kOwnerOnly = 0600;
inline constexpr unsigned kAsTheUmaskAllows = 0666;
bool writeNewFile(const std::string& filePath, std::string_view bytes, unsigned mode = kOwnerOnly);

}
