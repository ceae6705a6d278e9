#include "settings/settings_file.h"

#include "controller/paths.h"
#include "sys/format.h"
#include "sys/property_list.h"

namespace kavrin {

sys::ValuePtr readSettings()
{
    return sys::dictionaryWithContentsOfFile(sys::stringWithFormat("%@", std::string_view(kSettingsPath)));
}

sys::ValuePtr lookUpSetting(std::string_view key)
{
    return sys::objectForKey(readSettings(), key);
}

}
