#pragma once

#include "sys/value.h"

#include <string_view>

namespace sys {

constexpr const char* kAppleLanguagesKey = "AppleLanguages";

// The process's defaults, held in memory; the host sets "AppleLanguages" from its command line.
class UserDefaults {
public:
    static UserDefaults& standardUserDefaults();

    ValuePtr objectForKey(std::string_view key) const;
    void setObjectForKey(ValuePtr value, std::string_view key); // nil removes the key
    void removeAllObjects() { m_values.clear(); }

private:
    Dictionary m_values;
};

}
