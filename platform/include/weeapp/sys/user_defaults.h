#pragma once

#include <weeapp/sys/value.h>

#include <string>
#include <string_view>

namespace weeapp {
class PlatformState;
}

namespace sys {

constexpr const char* kAppleLanguagesKey = "AppleLanguages";

// The process's defaults, held in memory; the host sets "AppleLanguages" from its command line.
// A key that was never set answers its registered default; "AppleLanguages" is registered as
// ("en"), as on a phone set to English.
class UserDefaults {
public:
    static UserDefaults& standardUserDefaults();

    ValuePtr objectForKey(std::string_view key) const;
    void setObjectForKey(ValuePtr value, std::string_view key); // nil removes the key
    void removeAllObjects() { m_values.clear(); }               // the registered defaults stay

private:
    friend class weeapp::PlatformState;
    UserDefaults();

    Dictionary m_values;
    Dictionary m_registered;
};

// The user's first preferred language as its code ("de", "pt-BR"), or "" when "AppleLanguages"
// holds no text first. Whoever translates compares it whole and case-sensitively: "de-AT" is not
// "de", so it gets the English text.
std::string preferredLanguage();

}
