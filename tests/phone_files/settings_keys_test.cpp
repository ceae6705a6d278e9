#include "settings_keys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace kavrin::phone_files {
namespace {

// Every settings key the widget's sources look up, with the type its lookup converts to:
// checkSetting("KEY") reads a boolean; lookUpSetting("KEY") an integer.
std::map<std::string, SettingType> keysTheWidgetReads()
{
    const std::regex boolean(R"(checkSetting\(\s*"([^"]*)\"\s*\))");
    const std::regex integer(R"(lookUpSetting\(\s*"([^"]*)\")");
    std::map<std::string, SettingType> keys;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::filesystem::path(KAVRIN_SOURCE_DIR) / "widget")) {
        if (entry.path().extension() != ".cpp")
            continue;
        std::ifstream file(entry.path());
        std::stringstream text;
        text << file.rdbuf();
        const std::string source = text.str();
        for (std::sregex_iterator it(source.begin(), source.end(), boolean), end; it != end; ++it)
            keys[(*it)[1]] = SettingType::Boolean;
        for (std::sregex_iterator it(source.begin(), source.end(), integer), end; it != end; ++it)
            keys[(*it)[1]] = SettingType::Integer;
    }
    return keys;
}

// The table holds exactly the keys the widget reads, each with the type its lookup converts to,
// so that a key added to the widget fails here until the table (and kavrin-prefs) know it.
TEST(SettingKeys, TableMatchesTheWidgetsLookups)
{
    std::map<std::string, SettingType> read = keysTheWidgetReads();
    ASSERT_GE(read.size(), 11u);
    for (const auto& [name, type] : read) {
        const SettingKey* key = findSettingKey(name);
        ASSERT_NE(key, nullptr) << "the widget reads \"" << name << "\", which the settings table lacks";
        EXPECT_EQ(key->type, type) << name;
    }
    for (const SettingKey& key : settingKeys()) {
        EXPECT_TRUE(read.count(std::string(key.name))) << key.name << " is in the table but the widget never reads it";
        EXPECT_EQ(key.defaultValue, 0) << key.name;
        EXPECT_FALSE(key.effect.empty()) << key.name;
    }
}

// Values are checked by the key's type; any key or value passes as given.
TEST(SettingKeys, ValuesAreCheckedByType)
{
    for (auto [text, expected] : { std::pair { "true", true }, { "YES", true }, { "Yes", true }, { "1", true }, { "false", false },
             { "No", false }, { "0", false } }) {
        CheckedSetting checked = checkSettingValue("showBg", text, false);
        ASSERT_TRUE(checked.value) << text;
        EXPECT_EQ(*checked.value, *weeapp::sys::Value::boolean(expected)) << text;
    }
    for (const char* bad : { "ture", "", "2", "y", " true", "\"true\"" }) {
        CheckedSetting checked = checkSettingValue("showBg", bad, false);
        EXPECT_FALSE(checked.value) << bad;
        EXPECT_NE(checked.refusal.find("boolean"), std::string::npos) << checked.refusal;
    }
    for (auto [text, expected] : { std::pair { "3", 3 }, { "-7", -7 }, { "+2", 2 }, { "2147483647", 2147483647 }, { "-2147483648", -2147483647 - 1 } }) {
        CheckedSetting checked = checkSettingValue("tilesAlign", text, false);
        ASSERT_TRUE(checked.value) << text;
        EXPECT_EQ(*checked.value, *weeapp::sys::Value::integer(expected)) << text;
    }
    for (const char* bad : { "three", "3.5", "2147483648", "", "0x1A", "3 ", "+-1", "true" })
        EXPECT_FALSE(checkSettingValue("tilesAlign", bad, false).value) << bad;

    CheckedSetting unknown = checkSettingValue("metroStlye", "true", false);
    EXPECT_FALSE(unknown.value);
    EXPECT_NE(unknown.refusal.find(knownSettingKeys()), std::string::npos) << unknown.refusal;
    EXPECT_NE(checkSettingValue("a\nb", "1", false).refusal.find("\"a\\nb\""), std::string::npos);

    EXPECT_EQ(*checkSettingValue("metroStlye", "true", true).value, *weeapp::sys::Value::boolean(true));
    EXPECT_EQ(*checkSettingValue("showBg", "ture", true).value, *weeapp::sys::Value::string("ture"));
}

}
}
