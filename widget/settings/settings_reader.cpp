#include "settings/settings_reader.h"

#include "kavrin/published_names.h"
#include <weeapp/sys/format.h>
#include <weeapp/sys/plist/property_list.h>

namespace kavrin {

weeapp::sys::ValuePtr lookUpSetting(std::string_view key)
{
    return weeapp::sys::objectForKey(weeapp::sys::dictionaryEntryOfFile(weeapp::sys::stringWithFormat("%@", std::string_view(kSettingsPath)), key), key);
}

}
