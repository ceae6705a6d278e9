#include "settings/settings_reader.h"

#include "kavrin/published_names.h"
#include <weeapp/sys/format.h>
#include <weeapp/sys/property_list.h>

namespace kavrin {

sys::ValuePtr lookUpSetting(std::string_view key)
{
    return sys::objectForKey(sys::dictionaryEntryOfFile(sys::stringWithFormat("%@", std::string_view(kSettingsPath)), key), key);
}

}
