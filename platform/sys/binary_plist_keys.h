#pragma once

#include <string_view>

namespace sys {

// The property-list library stops the process on a dictionary key stored as UTF-16 with a NUL
// unit inside it (it checks that the key's length matches its C string). So a binary property
// list is looked over first: false when a dictionary has such a key, or when the file's object
// table cannot be walked within a bounded amount of work; true otherwise. Other texts with a
// NUL are read by the library up to the NUL and pass, as do bytes that are not a binary
// property list.
bool binaryPropertyListKeysAreSafe(std::string_view bytes);

}
