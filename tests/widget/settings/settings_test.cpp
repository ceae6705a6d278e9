#include "widget/support/phone_fixture.h"

#include "kavrin/published_names.h"
#include "support/property_list_shapes.h"
#include <weeapp/sys/property_list.h>

#include <fstream>

namespace kavrin::testing {
namespace {

using SettingsTest = PhoneFixture;
using sys::Value;

// Flags read every stored kind without failing, and the file is read afresh at every lookup.
TEST_F(SettingsTest, CheckSettingConvertsEveryKindAndReadsTheFileEachTime)
{
    EXPECT_EQ(controller->checkSetting("showLabels"), sys::NO);
    EXPECT_EQ(controller->getStandardAction(), 0);

    writeSettings({
        { "trueBool", Value::boolean(true) },
        { "falseBool", Value::boolean(false) },
        { "one", Value::integer(1) },
        { "zero", Value::integer(0) },
        { "yesText", Value::string("YES") },
        { "noText", Value::string("NO") },
        { "array", Value::array({ Value::boolean(true) }) },
        { "dictionary", Value::dictionary({ { "a", Value::boolean(true) } }) },
        { "date", Value::date(1000) },
        { "data", Value::data({ 1, 2 }) },
        { "standardAction", Value::string("3abc") },
    });
    EXPECT_EQ(controller->checkSetting("trueBool"), sys::YES);
    EXPECT_EQ(controller->checkSetting("one"), sys::YES);
    EXPECT_EQ(controller->checkSetting("yesText"), sys::YES);
    for (const char* key : { "falseBool", "zero", "noText", "array", "dictionary", "date", "data", "absent" })
        EXPECT_EQ(controller->checkSetting(key), sys::NO) << key;
    EXPECT_EQ(controller->getStandardAction(), 3);

    setSetting("zero", Value::integer(7));
    EXPECT_EQ(controller->checkSetting("zero"), sys::YES);
}

// A binary settings file reads like an XML one; an unreadable file or a root of the wrong kind
// gives the defaults.
TEST_F(SettingsTest, BinaryFilesReadAndBadFilesGiveDefaults)
{
    writeSettings({ { "metroStyle", Value::boolean(true) }, { "standardAction", Value::integer(2) } }, true);
    EXPECT_EQ(controller->checkSetting("metroStyle"), sys::YES);
    EXPECT_EQ(controller->getStandardAction(), 2);

    ASSERT_TRUE(sys::writePropertyListAtomically(*Value::array({ Value::boolean(true) }), realPath(kSettingsPath), sys::PropertyListFormat::Xml));
    EXPECT_EQ(controller->checkSetting("metroStyle"), sys::NO);

    std::ofstream(realPath(kSettingsPath), std::ios::trunc) << "<?xml version=\"1.0\"?><plist><dict><key>metroStyle</key><true/>";
    EXPECT_EQ(controller->checkSetting("metroStyle"), sys::NO);
    EXPECT_EQ(controller->getStandardAction(), 0);
}

// Settings nested far deeper than any real file, binary or XML, read as no file: every setting
// has its default. A key with a NUL inside is not the key before the NUL, in 8-bit and UTF-16
// binary texts; in XML a NUL makes the file unreadable.
TEST_F(SettingsTest, DeepFilesAndKeysWithANulGiveDefaults)
{
    for (bool binary : { true, false }) {
        std::ofstream(realPath(kSettingsPath), std::ios::trunc)
            << (binary ? kavrin::testing::deepBinaryPropertyList(100'000, true) : kavrin::testing::deepXmlPropertyList(100'000, true));
        EXPECT_EQ(controller->checkSetting("k"), sys::NO);
        EXPECT_EQ(controller->getStandardAction(), 0);
    }

    const std::string key("metroStyle\0 not really", 22);
    for (bool utf16 : { false, true }) {
        kavrin::testing::BinaryPropertyListBuilder builder;
        const std::uint64_t keyObject = utf16 ? builder.utf16(std::u16string(key.begin(), key.end())) : builder.ascii(key);
        const std::uint64_t action = builder.ascii("standardAction");
        const std::uint64_t top = builder.dictionary({ keyObject, action }, { builder.yes(), builder.smallInteger(2) });
        std::ofstream(realPath(kSettingsPath), std::ios::trunc) << builder.finish(top);
        EXPECT_EQ(controller->checkSetting("metroStyle"), sys::NO) << utf16;
        EXPECT_EQ(controller->checkSetting(key), sys::YES) << utf16;
        EXPECT_EQ(controller->getStandardAction(), 2) << utf16;
    }
    std::ofstream(realPath(kSettingsPath), std::ios::trunc)
        << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>" << key << "</key><true/></dict></plist>";
    EXPECT_EQ(controller->checkSetting("metroStyle"), sys::NO);
    EXPECT_EQ(controller->checkSetting(key), sys::NO);
}

// A settings file that the phone's reader refuses whole, for one malformed value or for what
// lies around the root, gives every setting its default: the height, the look, the tap's action
// and its questions. The same settings well formed take effect.
TEST_F(SettingsTest, MalformedXmlFilesGiveDefaults)
{
    const std::string root =
        "<dict><key>metroStyle</key><true/><key>fiveIcons</key><true/><key>standardAction</key><integer>2</integer>"
        "<key>askForCall</key><true/></dict>";
    std::ofstream(realPath(kSettingsPath), std::ios::trunc) << "<?xml version=\"1.0\"?><plist version=\"1.0\">" << root << "</plist>";
    EXPECT_EQ(controller->checkSetting("metroStyle"), sys::YES);
    EXPECT_NE(controller->viewHeight(), 110.0f);
    EXPECT_EQ(controller->getStandardAction(), 2);
    for (const std::string& bytes : malformedXmlPropertyLists(root)) {
        std::ofstream(realPath(kSettingsPath), std::ios::trunc) << bytes;
        EXPECT_EQ(controller->viewHeight(), 110.0f) << bytes;
        for (const char* key : { "metroStyle", "fiveIcons", "askForCall" })
            EXPECT_EQ(controller->checkSetting(key), sys::NO) << key << " in " << bytes;
        EXPECT_EQ(controller->getStandardAction(), 0) << bytes;
    }
    controller->view();
    EXPECT_EQ(controller->isMetroStyle, sys::NO);
}

// "tilesAlign" picks one of four patterns; anything else, stored in any kind, the first.
TEST_F(SettingsTest, MetroPatterns)
{
    const auto pattern = [this] {
        const sys::ValuePtr dictionary = controller->getMetroPattern();
        std::vector<int> values;
        for (const char* key : { "1width", "1height", "tilewidth", "tileheight", "righttiles", "viewHeight", "fontSize" }) {
            const sys::ValuePtr value = sys::objectForKey(dictionary, key);
            EXPECT_TRUE(value && value->isString()) << key;
            values.push_back(sys::intValue(value));
        }
        return values;
    };
    const std::vector<int> first { 108, 108, 53, 53, 4, 106, 11 };
    EXPECT_EQ(pattern(), first);
    for (const sys::ValuePtr& other : { Value::integer(0), Value::integer(1), Value::integer(5), Value::integer(-2), Value::string("x") }) {
        setSetting("tilesAlign", other);
        EXPECT_EQ(pattern(), first);
    }
    setSetting("tilesAlign", Value::integer(2));
    EXPECT_EQ(pattern(), (std::vector<int> { 128, 128, 64, 64, 3, 128, 12 }));
    setSetting("tilesAlign", Value::string("3"));
    EXPECT_EQ(pattern(), (std::vector<int> { 90, 90, 46, 46, 5, 90, 11 }));
    setSetting("tilesAlign", Value::real(4.9));
    EXPECT_EQ(pattern(), (std::vector<int> { 80, 80, 40, 40, 6, 80, 10 }));
    for (int align : { 2, 3, 4 }) {
        setSetting("tilesAlign", Value::integer(align));
        const std::vector<int> values = pattern();
        EXPECT_EQ(values[0] + values[4] * values[2], 320);
    }
}

// "metroBackground" 1 to 7 give the seven shared colours, everything else green.
TEST_F(SettingsTest, MetroBackgroundColoursAreTheSharedObjects)
{
    EXPECT_EQ(controller->getMetroBackgroundColor(), ui::Color::greenColor());
    const std::vector<ui::ColorPtr> expected { ui::Color::greenColor(), ui::Color::yellowColor(), ui::Color::cyanColor(),
        ui::Color::magentaColor(), ui::Color::redColor(), ui::Color::whiteColor(), ui::Color::clearColor() };
    for (int index = 1; index <= 7; ++index) {
        setSetting("metroBackground", Value::integer(index));
        EXPECT_EQ(controller->getMetroBackgroundColor(), expected[static_cast<std::size_t>(index - 1)]) << index;
        EXPECT_EQ(controller->getMetroBackgroundColor(), controller->getMetroBackgroundColor());
    }
    EXPECT_EQ(ui::Color::clearColor()->alpha(), 0.0f);
    setSetting("metroBackground", Value::integer(8));
    EXPECT_EQ(controller->getMetroBackgroundColor(), ui::Color::greenColor());
}

}
}
