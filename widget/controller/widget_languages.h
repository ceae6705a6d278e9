#pragma once

#include "kavrin/published_names.h"
#include <weeapp/sys/translations.h>
#include <weeapp/sys/user_defaults.h>

#include <array>
#include <cstddef>
#include <string_view>

namespace kavrin {

// Whether a table of translations has a row for each language the widget speaks besides English,
// in their order; every table is checked with it at compile time.
template<typename Row, std::size_t Count>
constexpr bool followsTheWidgetLanguages(const std::array<Row, Count>& rows)
{
    if (rows.size() != kChooserLanguages.size())
        return false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (std::string_view(rows[i].language) != kChooserLanguages[i])
            return false;
    }
    return true;
}

// The row for the user's first preferred language, matched whole, or the English one.
template<typename Row, std::size_t Count>
const Row& translationForPreferredLanguage(const std::array<Row, Count>& rows, const Row& english)
{
    return weeapp::sys::translationFor(rows, english, weeapp::sys::preferredLanguage());
}

}
