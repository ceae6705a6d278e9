#include "sources/favorites_list.h"

#include <weeapp/addressbook/localized_label.h>
#include <weeapp/sys/format.h>
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/property_list.h>

namespace kavrin {

namespace {

// The keys of a FavoriteEntry that the widget reads; the dialler's others are never made.
constexpr std::string_view kEntryKeys[] = { "Name", "ABUid", "Label", "Value" };

}

sys::ValuePtr loadFavoritesList()
{
    return sys::arrayWithEntriesOfFile(sys::stringWithFormat("%@", std::string_view(sys::kFavoritesPath)), kEntryKeys);
}

std::string FavoriteEntry::formattedName() const
{
    return sys::stringWithFormat("%@", sys::objectForKey(entry, "Name"));
}

std::optional<std::string> FavoriteEntry::title() const
{
    const sys::ValuePtr name = sys::objectForKey(entry, "Name");
    if (!name)
        return std::nullopt;
    return name->description();
}

std::int32_t FavoriteEntry::recordId() const
{
    return sys::intValue(sys::objectForKey(entry, "ABUid"));
}

std::string FavoriteEntry::displayLabel() const
{
    return ab::ABAddressBookCopyLocalizedLabel(sys::stringWithFormat("%@", sys::objectForKey(entry, "Label")));
}

std::optional<std::string> FavoriteEntry::number() const
{
    // Only a text is a number to dial: a value of another kind opens nothing.
    const sys::ValuePtr value = sys::objectForKey(entry, "Value");
    if (!value || !value->isString())
        return std::nullopt;
    return *value->asString();
}

}
