#pragma once

#include <weeapp/sys/value.h>

#include <string_view>

namespace kavrin {

// One settings lookup: reads and parses the whole settings file afresh and takes one key's
// value. A missing or unreadable file, or a root that is not a dictionary, gives nil for every
// key. Nothing is cached, so a change of the file shows at the next lookup.
weeapp::sys::ValuePtr lookUpSetting(std::string_view key);

}
