#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace weeapp::sys {

// The platform's one judge of UTF-8: well-formed means no stray continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF. A NUL byte is a character like any other.

// The length of the well-formed character at the start of text, or 0 when it is not one (or the
// text is empty).
std::size_t utf8SequenceLength(std::string_view text);

bool isValidUtf8(std::string_view text);

// The text with each byte that starts no well-formed character replaced by U+FFFD.
std::string validUtf8(std::string_view text);

}
