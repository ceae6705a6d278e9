#include "settings_keys.h"

#include "setting_value.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <limits>

namespace kavrin::phone_files {

namespace {

constexpr std::array kKeys {
    SettingKey { "metroStyle", SettingType::Boolean, 0, "the metro look of square tiles instead of the standard look" },
    SettingKey { "fiveIcons", SettingType::Boolean, 0, "standard look: five tiles a page instead of four" },
    SettingKey { "showLabels", SettingType::Boolean, 0, "standard look: a badge with the number's label on each tile" },
    SettingKey { "showBg", SettingType::Boolean, 0, "standard look: the background image" },
    SettingKey { "animateMetrosOff", SettingType::Boolean, 0, "metro look: no periodic flip of the tiles" },
    SettingKey { "askForCall", SettingType::Boolean, 0, "a tap brings the action chooser, offering a call" },
    SettingKey { "askForText", SettingType::Boolean, 0, "a tap brings the action chooser, offering a text message" },
    SettingKey { "askForMail", SettingType::Boolean, 0, "a tap brings the action chooser, offering an e-mail" },
    SettingKey { "standardAction", SettingType::Integer, 0, "without the chooser a tap runs: 2 a text message, 3 an e-mail, any other a call" },
    SettingKey { "tilesAlign", SettingType::Integer, 0, "metro tile pattern: 2, 3 or 4; any other the first" },
    SettingKey { "metroBackground", SettingType::Integer, 0, "metro background: 2 yellow, 3 cyan, 4 magenta, 5 red, 6 white, 7 clear, any other green" },
};

std::string lowered(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

weeapp::sys::ValuePtr booleanFromText(std::string_view text)
{
    std::string word = lowered(text);
    if (word == "true" || word == "yes" || word == "1")
        return weeapp::sys::Value::boolean(true);
    if (word == "false" || word == "no" || word == "0")
        return weeapp::sys::Value::boolean(false);
    return nullptr;
}

weeapp::sys::ValuePtr integerFromText(std::string_view text)
{
    if (text.starts_with('+') && !text.substr(1).starts_with('-'))
        text.remove_prefix(1);
    std::int32_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return nullptr;
    return weeapp::sys::Value::integer(number);
}

}

std::span<const SettingKey> settingKeys()
{
    return kKeys;
}

const SettingKey* findSettingKey(std::string_view name)
{
    auto found = std::find_if(kKeys.begin(), kKeys.end(), [&](const SettingKey& key) { return key.name == name; });
    return found == kKeys.end() ? nullptr : &*found;
}

std::string_view settingTypeName(SettingType type)
{
    return type == SettingType::Boolean ? "boolean" : "integer";
}

weeapp::sys::ValuePtr settingDefault(const SettingKey& key)
{
    if (key.type == SettingType::Boolean)
        return weeapp::sys::Value::boolean(key.defaultValue != 0);
    return weeapp::sys::Value::integer(key.defaultValue);
}

std::string knownSettingKeys()
{
    std::string names;
    for (const SettingKey& key : kKeys)
        names.append(names.empty() ? "" : ", ").append(key.name);
    return names;
}

CheckedSetting checkSettingValue(std::string_view key, std::string_view text, bool asGiven)
{
    if (asGiven)
        return { settingValueFromText(text), {} };
    const SettingKey* known = findSettingKey(key);
    if (!known)
        return { nullptr, "unknown key " + settingKeyText(key) + "; the keys the widget reads are " + knownSettingKeys() };
    if (known->type == SettingType::Boolean) {
        if (weeapp::sys::ValuePtr value = booleanFromText(text))
            return { value, {} };
        return { nullptr, settingKeyText(key) + " takes a boolean: true, false, yes, no, 1 or 0" };
    }
    if (weeapp::sys::ValuePtr value = integerFromText(text))
        return { value, {} };
    static_assert(std::numeric_limits<std::int32_t>::min() == -2147483648);
    return { nullptr, settingKeyText(key) + " takes an integer from -2147483648 to 2147483647" };
}

}
