#include <weeapp/sys/user_defaults.h>

#include <weeapp/platform_state.h>

namespace sys {

UserDefaults::UserDefaults()
{
    m_registered[kAppleLanguagesKey] = Value::array({ Value::string("en") });
}

UserDefaults& UserDefaults::standardUserDefaults()
{
    return weeapp::PlatformState::current().userDefaults();
}

ValuePtr UserDefaults::objectForKey(std::string_view key) const
{
    if (auto it = m_values.find(key); it != m_values.end())
        return it->second;
    if (auto it = m_registered.find(key); it != m_registered.end())
        return it->second;
    return nullptr;
}

void UserDefaults::setObjectForKey(ValuePtr value, std::string_view key)
{
    if (!value) {
        if (auto it = m_values.find(key); it != m_values.end())
            m_values.erase(it);
        return;
    }
    m_values.insert_or_assign(std::string(key), std::move(value));
}

std::string preferredLanguage()
{
    const ValuePtr languages = UserDefaults::standardUserDefaults().objectForKey(kAppleLanguagesKey);
    const ValuePtr first = objectAtIndex(languages, 0);
    const std::string* code = first ? first->asString() : nullptr;
    return code ? *code : std::string();
}

}
