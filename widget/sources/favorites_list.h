#pragma once

#include <weeapp/sys/value.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kavrin {

// The phone's speed-dial list, read afresh: an array of FavoriteEntry dictionaries, or nil for a
// missing or unreadable file or a root that is not an array.
weeapp::sys::ValuePtr loadFavoritesList();

// Reading one FavoriteEntry. An element that is not a dictionary reads like an empty entry.
struct FavoriteEntry {
    weeapp::sys::ValuePtr entry;

    // "Name" as "%@" prints it ("(null)" when missing).
    std::string formattedName() const;
    // "Name" as an alert title: nothing when missing.
    std::optional<std::string> title() const;
    // "ABUid" by integer conversion (0 when missing or not numeric).
    std::int32_t recordId() const;
    // "Label" as "%@" prints it, in the address book's display wording.
    std::string displayLabel() const;
    // "Value", the phone number; nothing when missing.
    std::optional<std::string> number() const;
};

}
