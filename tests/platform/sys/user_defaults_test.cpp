#include "sys/user_defaults.h"

#include <gtest/gtest.h>

using namespace sys;

// "AppleLanguages" answers English until set; setting nil falls back to the registered default.
TEST(UserDefaults, LanguagesWithRegisteredDefault)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.removeAllObjects();
    EXPECT_EQ(description(objectAtIndex(defaults.objectForKey(kAppleLanguagesKey), 0)), "en");

    defaults.setObjectForKey(Value::array({ Value::string("de"), Value::string("en") }), kAppleLanguagesKey);
    EXPECT_EQ(description(objectAtIndex(defaults.objectForKey(kAppleLanguagesKey), 0)), "de");
    defaults.setObjectForKey(nullptr, kAppleLanguagesKey);
    EXPECT_EQ(description(objectAtIndex(defaults.objectForKey(kAppleLanguagesKey), 0)), "en");
    EXPECT_EQ(defaults.objectForKey("NoSuchKey"), nullptr);
    defaults.removeAllObjects();
}
