#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kavrin {

// The address-book databases read from memory instead of the phone's files, for the fuzz
// targets, which would otherwise write every input to two files and open them at every query.
// While bytes are set for one of the two databases (weeapp::sys::kAddressBookPath,
// weeapp::sys::kAddressBookImagesPath), every query on it runs as before on a read-only in-memory copy
// of them; a database in write-ahead-log mode is read as its immutable open reads it, from its
// main file alone. The bytes must stay alive until they are cleared. Nothing is set in the
// widget itself.
void setAddressBookBytes(std::string_view phonePath, std::span<const std::uint8_t> bytes);
void clearAddressBookBytes();

}
