#pragma once

#include <weeapp/sys/value.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace weeapp::sys {

// One argument of stringWithFormat: an object for "%@" (nil prints "(null)"), text for "%@",
// or an integer for "%i".
using FormatArgument = std::variant<ValuePtr, std::string_view, std::int32_t>;

// stringWithFormat: with the "%@", "%i" (also "%d") and "%%" conversions. A conversion whose
// argument is missing or of the wrong kind prints nothing; extra arguments are ignored.
std::string formatString(std::string_view format, const std::vector<FormatArgument>& arguments);

template<typename... Arguments>
std::string stringWithFormat(std::string_view format, const Arguments&... arguments)
{
    return formatString(format, std::vector<FormatArgument> { FormatArgument(arguments)... });
}

// componentsSeparatedByString: "" or a text without the separator gives one piece; a leading
// separator gives an empty first piece. An empty separator gives the whole text.
std::vector<std::string> componentsSeparatedByString(std::string_view text, std::string_view separator);

// stringByReplacingOccurrencesOfString:withString:, left to right, without overlaps.
std::string stringByReplacingOccurrencesOfString(std::string_view text, std::string_view target, std::string_view replacement);

}
