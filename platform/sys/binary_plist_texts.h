#pragma once

#include <string_view>

namespace sys {

// The property-list library stops the process on a text object with a NUL inside it (it checks
// that a key's length matches its C string). A binary property list can hold such a text, so it
// is looked over first: true when every text object of the file is free of NULs, false when
// one holds a NUL or the file's object table cannot be walked. Bytes that are not a binary
// property list pass.
bool binaryPropertyListTextsAreClean(std::string_view bytes);

}
