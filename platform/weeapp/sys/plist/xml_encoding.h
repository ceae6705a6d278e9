#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace weeapp::sys {

// An XML property list as the parser must see it: UTF-8, without a byte-order mark. The phone's
// reader honours a byte-order mark (UTF-8, UTF-16 and UTF-32 in either order) and otherwise the
// encoding that the XML declaration names (ISO-8859-1, windows-1252, macintosh, UTF-16 and every
// other name that iconv knows); a file in UTF-16 or UTF-32 without a mark is known by its first
// characters, "<?", as XML allows.
struct XmlAsUtf8 {
    // False for an encoding that is declared but unknown, and for bytes that are not text in
    // their encoding or that would come to more than the size bound as UTF-8.
    bool readable { true };
    // The UTF-8 text, when the bytes were not already UTF-8 without a mark.
    std::optional<std::string> converted;
};
XmlAsUtf8 xmlAsUtf8(std::string_view bytes, std::size_t maximumSize);

}
