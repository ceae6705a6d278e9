#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kavrin::support {

// Every program's --help is set to lines of at most this many characters.
inline constexpr std::size_t kHelpWidth = 100;

// The words of text (split at single spaces) wrapped to kHelpWidth, the first line going on from
// column, the others indented by indent; with a line break at the end.
std::string wrappedHelpText(std::string_view text, std::size_t column, std::size_t indent);

// The head padded to the description column, or alone on its line when it reaches the column,
// then the text wrapped at the column.
std::string helpEntry(const std::string& head, std::string_view text, std::size_t descriptionColumn);

}
