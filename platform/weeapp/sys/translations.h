#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace weeapp::sys {

// The row of a table of translations for a language code, matched whole ("de", not "de-DE"), or
// the fallback row (English) for any other code. Each row names its language in `language`.
template<typename Row, std::size_t Count>
const Row& translationFor(const std::array<Row, Count>& rows, const Row& fallback, std::string_view code)
{
    for (const Row& row : rows)
        if (code == row.language)
            return row;
    return fallback;
}

}
