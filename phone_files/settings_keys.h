#pragma once

#include <weeapp/sys/value.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kavrin::phone_files {

enum class SettingType { Boolean,
    Integer };

// One key of the settings file that the widget reads: its type, the value the widget uses while
// the key is absent, and what it changes.
struct SettingKey {
    std::string_view name;
    SettingType type;
    std::int64_t defaultValue; // a boolean as 0 or 1
    std::string_view effect;
};

// Every key the widget reads, in the order a user meets them.
std::span<const SettingKey> settingKeys();
// nullptr for a key the widget does not read.
const SettingKey* findSettingKey(std::string_view name);

std::string_view settingTypeName(SettingType);
weeapp::sys::ValuePtr settingDefault(const SettingKey&);
// "metroStyle, fiveIcons, …", for messages.
std::string knownSettingKeys();

// What set stores under a key given its value as text. A key of the table takes a value of its
// type: a boolean as true/false/yes/no/1/0 in any case, an integer as decimal digits within 32
// bits with an optional sign. Any other key, or any other value, is refused with the reason
// (naming the known keys or the expected type), unless asGiven: then the value is typed as
// settingValueFromText types it and stored whatever the key.
struct CheckedSetting {
    weeapp::sys::ValuePtr value; // nullptr when refused
    std::string refusal;
};
CheckedSetting checkSettingValue(std::string_view key, std::string_view text, bool asGiven);

}
