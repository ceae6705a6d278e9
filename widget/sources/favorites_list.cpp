#include "sources/favorites_list.h"

#include <weeapp/addressbook/localized_label.h>
#include <weeapp/sys/files/phone_paths.h>
#include <weeapp/sys/format.h>
#include <weeapp/sys/plist/property_list.h>

namespace kavrin {

namespace {

// The keys of a FavoriteEntry that the widget reads; the dialler's others are never made.
constexpr std::string_view kEntryKeys[] = { "Name", "ABUid", "Label", "Value" };

}

weeapp::sys::ValuePtr loadFavoritesList()
{
    return weeapp::sys::arrayWithEntriesOfFile(weeapp::sys::stringWithFormat("%@", std::string_view(weeapp::sys::kFavoritesPath)), kEntryKeys);
}

std::string FavoriteEntry::formattedName() const
{
    return weeapp::sys::stringWithFormat("%@", weeapp::sys::objectForKey(entry, "Name"));
}

std::optional<std::string> FavoriteEntry::title() const
{
    const weeapp::sys::ValuePtr name = weeapp::sys::objectForKey(entry, "Name");
    if (!name)
        return std::nullopt;
    return name->description();
}

std::int32_t FavoriteEntry::recordId() const
{
    return weeapp::sys::intValue(weeapp::sys::objectForKey(entry, "ABUid"));
}

std::string FavoriteEntry::displayLabel() const
{
    return weeapp::ab::ABAddressBookCopyLocalizedLabel(weeapp::sys::stringWithFormat("%@", weeapp::sys::objectForKey(entry, "Label")));
}

std::optional<std::string> FavoriteEntry::number() const
{
    // Only a text is a number to dial: a value of another kind opens nothing.
    const weeapp::sys::ValuePtr value = weeapp::sys::objectForKey(entry, "Value");
    if (!value || !value->isString())
        return std::nullopt;
    return *value->asString();
}

}
