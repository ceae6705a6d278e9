#include "support/temporary_folder.h"
#include <weeapp/sys/files/phone_root.h>
#include <weeapp/sys/plist/property_list.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace weeapp::sys;

namespace {

constexpr const char* kSettings = "/private/var/mobile/Library/Preferences/de.quillfen.kavrin.plist";

const char* kXmlSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
    <key>metroStyle</key><true/>
    <key>tilesAlign</key><string>3</string>
    <key>metroBackground</key><integer>-6</integer>
    <key>ratio</key><real>2.75</real>
    <key>list</key><array><string>a</string><false/></array>
</dict>
</plist>
)";

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

class PropertyListTest : public ::testing::Test {
protected:
    void SetUp() override { setPhoneRoot(m_folder.path()); }
    void TearDown() override { setPhoneRoot("/"); }

    kavrin::testing::TemporaryFolder m_folder;
};

ValuePtr sampleOfEveryKind()
{
    return Value::dictionary({
        { "flag", Value::boolean(true) },
        { "negative", Value::integer(-5) },
        { "big", Value::integer(5000000000) },
        { "real", Value::real(0.125) },
        { "text", Value::string("Zoë <&> \"x\"") },
        { "bytes", Value::data({ 0, 1, 254, 255 }) },
        { "when", Value::date(86400) }, // XML dates keep whole seconds
        { "nested", Value::array({ Value::dictionary({ { "k", Value::string("") } }), Value::array({}) }) },
    });
}

}

// An XML settings file under the phone root reads as a dictionary with each value's kind kept.
TEST_F(PropertyListTest, ReadsXmlDictionaryUnderTheRoot)
{
    m_folder.write(kSettings, kXmlSettings);
    ValuePtr settings = dictionaryWithContentsOfFile(kSettings);
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(objectForKey(settings, "metroStyle")->isBoolean());
    EXPECT_TRUE(boolValue(objectForKey(settings, "metroStyle")));
    EXPECT_EQ(*objectForKey(settings, "tilesAlign"), *Value::string("3"));
    EXPECT_EQ(*objectForKey(settings, "metroBackground"), *Value::integer(-6));
    EXPECT_EQ(*objectForKey(settings, "ratio"), *Value::real(2.75));
    EXPECT_EQ(count(objectForKey(settings, "list")), 2u);
    // The same file is no array.
    EXPECT_EQ(arrayWithContentsOfFile(kSettings), nullptr);
}

// Every kind survives writing and reading back, in binary and in XML.
TEST_F(PropertyListTest, RoundTripsEveryKindInBothFormats)
{
    ValuePtr original = sampleOfEveryKind();
    for (PropertyListFormat format : { PropertyListFormat::Binary, PropertyListFormat::Xml }) {
        std::optional<std::string> bytes = serializePropertyList(*original, format);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->starts_with("bplist00"), format == PropertyListFormat::Binary);
        EXPECT_EQ(propertyListFormatOf(*bytes), format);
        ValuePtr back = propertyListFromBytes(*bytes);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(*back, *original) << back->description();
    }
    // What is not a binary property list (nothing, a cut-off header, any text) counts as XML.
    for (std::string_view other : { "", "bplist0", "<plist/>", "garbage" })
        EXPECT_EQ(propertyListFormatOf(other), PropertyListFormat::Xml) << other;
}

// A binary favorites file reads as an array; a dictionary file does not.
TEST_F(PropertyListTest, ReadsBinaryArrayAndRejectsTheOtherRoot)
{
    const std::string favorites = "/private/var/mobile/Library/Preferences/com.apple.mobilephone.speeddial.plist";
    ValuePtr list = Value::array({ Value::dictionary({ { "Name", Value::string("Ann") }, { "ABUid", Value::integer(7) } }) });
    m_folder.write(favorites, *serializePropertyList(*list, PropertyListFormat::Binary));
    ValuePtr read = arrayWithContentsOfFile(favorites);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(*read, *list);
    EXPECT_EQ(dictionaryWithContentsOfFile(favorites), nullptr);
}

// A binary property list of one dictionary with one entry, from the key and value objects' bytes.
std::string binaryDictionary(const std::string& key, const std::string& value)
{
    const std::string header = "bplist00";
    const std::string dictionary = "\xd1\x01\x02";
    const std::string objects = dictionary + key + value;
    const auto keyOffset = static_cast<char>(header.size() + dictionary.size());
    const auto valueOffset = static_cast<char>(keyOffset + key.size());
    const std::string table { static_cast<char>(header.size()), keyOffset, valueOffset };
    const auto tableOffset = static_cast<char>(header.size() + objects.size());
    std::string trailer(32, '\0');
    trailer[6] = 1;  // offset width
    trailer[7] = 1;  // reference width
    trailer[15] = 3; // objects
    trailer[31] = tableOffset;
    return header + objects + table + trailer;
}

// Missing, empty, garbage, truncated, folder-shaped and scalar-rooted files give nothing.
TEST_F(PropertyListTest, UnreadableFilesGiveNil)
{
    EXPECT_EQ(dictionaryWithContentsOfFile(kSettings), nullptr);

    std::string binary = *serializePropertyList(*sampleOfEveryKind(), PropertyListFormat::Binary);
    const std::string broken[] = {
        "",
        "not a property list at all",
        binary.substr(0, binary.size() / 2),
        std::string(kXmlSettings).substr(0, 200),
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>just text</string></plist>",
    };
    for (const std::string& bytes : broken) {
        m_folder.write(kSettings, bytes);
        EXPECT_EQ(dictionaryWithContentsOfFile(kSettings), nullptr) << bytes.substr(0, 40);
        EXPECT_EQ(arrayWithContentsOfFile(kSettings), nullptr) << bytes.substr(0, 40);
    }

    std::filesystem::remove(resolvePhonePath(kSettings));
    std::filesystem::create_directories(resolvePhonePath(kSettings));
    EXPECT_EQ(dictionaryWithContentsOfFile(kSettings), nullptr);
}

// A NUL never shortens a text: binary texts keep it, 8-bit or UTF-16, in values and in keys, and
// such a key is a key of its own, not the one before the NUL. XML has no NUL character: a raw
// one anywhere, or one written as a reference, makes the file unreadable.
TEST_F(PropertyListTest, TextsWithANulKeepIt)
{
    const std::string nulAscii("\x53\x61\x00\x62", 4);
    const std::string nulUtf16("\x63\x00\x61\x00\x00\x00\x62", 7);
    for (const std::string& key : { nulAscii, nulUtf16 }) {
        m_folder.write(kSettings, binaryDictionary(key, "\x09"));
        ValuePtr settings = dictionaryWithContentsOfFile(kSettings);
        ASSERT_EQ(count(settings), 1u);
        EXPECT_EQ(objectForKey(settings, "a"), nullptr);
        EXPECT_TRUE(boolValue(objectForKey(settings, std::string_view("a\0b", 3))));
    }
    m_folder.write(kSettings, binaryDictionary("\x51k", nulAscii));
    EXPECT_EQ(description(objectForKey(dictionaryWithContentsOfFile(kSettings), "k")), std::string("a\0b", 3));
    m_folder.write(kSettings, binaryDictionary("\x51k", nulUtf16));
    EXPECT_EQ(description(objectForKey(dictionaryWithContentsOfFile(kSettings), "k")), std::string("a\0b", 3));

    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
    for (const std::string& unreadable : { xml + std::string("<key>k</key><string>a\0b</string></dict></plist>", 47),
             xml + std::string("<key>a\0b</key><true/></dict></plist>", 36),
             xml + std::string("<key>a<!-- \0 --></key><true/></dict></plist>", 44), xml + "<key>k</key><string>a&#0;b</string></dict></plist>" }) {
        m_folder.write(kSettings, unreadable);
        EXPECT_EQ(dictionaryWithContentsOfFile(kSettings), nullptr) << unreadable;
    }
}

// Phone paths resolve under the root, and ".." cannot climb out of it; plain paths and those
// with dots or doubled slashes join the root alike, whether or not it ends in a slash.
TEST_F(PropertyListTest, PhonePathsStayUnderTheRoot)
{
    const std::string root = m_folder.path().string();
    EXPECT_EQ(resolvePhonePath("/private/var/x.plist"), root + "/private/var/x.plist");
    EXPECT_EQ(resolvePhonePath("/../../etc/passwd"), root + "/etc/passwd");
    EXPECT_EQ(resolvePhonePath("/System/Library/WeeAppPlugins/Kavrin.bundle/"), root + "/System/Library/WeeAppPlugins/Kavrin.bundle/");
    EXPECT_EQ(resolvePhonePath("/private//var/./x.plist"), root + "/private/var/x.plist");
    EXPECT_EQ(resolvePhonePath("/private/var/.x.plist"), root + "/private/var/.x.plist");
    EXPECT_EQ(resolvePhonePath("private/x.plist"), "private/x.plist");
    setPhoneRoot(root + "/");
    EXPECT_EQ(resolvePhonePath("/private/var/x.plist"), root + "/private/var/x.plist");
    EXPECT_EQ(resolvePhonePath("/private/../var/x.plist"), root + "/var/x.plist");
    setPhoneRoot("/");
    EXPECT_EQ(resolvePhonePath("/private/var/x.plist"), "/private/var/x.plist");
    EXPECT_EQ(resolvePhonePath("/a/./b"), "/a/b");
}

// An atomic write replaces the old file, keeps its permissions and leaves no temporary behind.
TEST_F(PropertyListTest, AtomicWriteReplacesAndCleansUp)
{
    std::filesystem::path target = m_folder.write("prefs/settings.plist", kXmlSettings);
    ::chmod(target.c_str(), 0640);

    ValuePtr replacement = Value::dictionary({ { "fiveIcons", Value::boolean(true) } });
    ASSERT_TRUE(writePropertyListAtomically(*replacement, target.string(), PropertyListFormat::Binary));
    EXPECT_TRUE(readFile(target).starts_with("bplist00"));
    EXPECT_EQ(*readPropertyListFile(target.string()), *replacement);
    struct stat status { };
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(target.parent_path()))
        ++entries;
    EXPECT_EQ(entries, 1u);

    // A folder that does not exist cannot be written to, and nothing appears.
    std::filesystem::path nowhere = m_folder.path() / "missing" / "settings.plist";
    EXPECT_FALSE(writePropertyListAtomically(*replacement, nowhere.string(), PropertyListFormat::Xml));
    EXPECT_FALSE(std::filesystem::exists(nowhere.parent_path()));
}

// Reading one key's entry gives what the whole dictionary holds for it, in both formats, for
// every kind, for a key it does not hold and for the last of two equal keys; a file that is
// unreadable whole (nested too deep beside the key, a root that is no dictionary, bytes that
// are no property list) is unreadable for one key too.
TEST_F(PropertyListTest, OneEntryReadsAsTheWholeDictionaryHasIt)
{
    ValuePtr sample = sampleOfEveryKind();
    for (PropertyListFormat format : { PropertyListFormat::Binary, PropertyListFormat::Xml }) {
        m_folder.write(kSettings, *serializePropertyList(*sample, format));
        ValuePtr whole = dictionaryWithContentsOfFile(kSettings);
        ASSERT_NE(whole, nullptr);
        for (const char* key : { "flag", "negative", "big", "real", "text", "bytes", "when", "nested", "missing", "" }) {
            ValuePtr entry = dictionaryEntryOfFile(kSettings, key);
            ASSERT_NE(entry, nullptr) << key;
            EXPECT_LE(count(entry), 1u) << key;
            ValuePtr expected = objectForKey(whole, key);
            ValuePtr got = objectForKey(entry, key);
            ASSERT_EQ(got == nullptr, expected == nullptr) << key;
            if (expected) {
                EXPECT_EQ(*got, *expected) << key;
            }
        }
        const ValuePtr withNul = dictionaryEntryOfFile(kSettings, std::string_view("fl\0ag", 5));
        ASSERT_NE(withNul, nullptr);
        EXPECT_EQ(count(withNul), 0u);
    }

    m_folder.write(kSettings,
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><integer>1</integer>"
        "<key>b</key><true/><key>a</key><integer>2</integer></dict></plist>");
    EXPECT_EQ(*objectForKey(dictionaryEntryOfFile(kSettings, "a"), "a"), *objectForKey(dictionaryWithContentsOfFile(kSettings), "a"));

    std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>flag</key><true/><key>deep</key>";
    for (std::size_t level = 0; level <= kMaximumPropertyListDepth; ++level)
        deep += "<array>";
    for (std::size_t level = 0; level <= kMaximumPropertyListDepth; ++level)
        deep += "</array>";
    deep += "</dict></plist>";
    for (const std::string& unreadable : { deep, std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><true/></array></plist>"), std::string("garbage") }) {
        m_folder.write(kSettings, unreadable);
        EXPECT_EQ(dictionaryWithContentsOfFile(kSettings), nullptr);
        EXPECT_EQ(dictionaryEntryOfFile(kSettings, "flag"), nullptr);
    }
}

// Reading only some keys of an array's dictionaries gives each dictionary with just those
// entries, as the whole array has them, in both formats; the array's other elements come whole,
// dictionaries deeper down whole; a file that is unreadable whole (nested too deep under a key
// left out, a root that is no array, no property list) is unreadable so too.
TEST_F(PropertyListTest, ArrayEntriesReadAsTheWholeArrayHasThem)
{
    Dictionary nested { { "inner", Value::string("kept") }, { "other", Value::integer(5) } };
    Dictionary first { { "Name", Value::string("Anna Berger") }, { "ABUid", Value::integer(101) }, { "Extra", Value::string("dropped") },
        { "Nested", Value::dictionary(nested) } };
    Dictionary second { { "Value", Value::string("+49 170 1") }, { "Label", Value::string("_$!<Mobile>!$_") }, { "Photo", Value::data({ 1, 2, 3 }) } };
    Array list { Value::dictionary(first), Value::string("not an entry"), Value::dictionary(second), Value::array({ Value::dictionary(nested) }) };
    const ValuePtr sample = Value::array(list);
    const std::string_view keys[] = { "Name", "ABUid", "Label", "Value", "Nested" };
    for (PropertyListFormat format : { PropertyListFormat::Binary, PropertyListFormat::Xml }) {
        m_folder.write(kSettings, *serializePropertyList(*sample, format));
        ValuePtr whole = arrayWithContentsOfFile(kSettings);
        ValuePtr chosen = arrayWithEntriesOfFile(kSettings, keys);
        ASSERT_NE(whole, nullptr);
        ASSERT_NE(chosen, nullptr);
        ASSERT_EQ(count(chosen), count(whole));
        EXPECT_EQ(count(objectAtIndex(chosen, 0)), 3u);
        EXPECT_EQ(count(objectAtIndex(chosen, 2)), 2u);
        for (std::size_t index : { 0u, 2u }) {
            for (std::string_view key : keys) {
                ValuePtr expected = objectForKey(objectAtIndex(whole, index), std::string(key));
                ValuePtr got = objectForKey(objectAtIndex(chosen, index), std::string(key));
                ASSERT_EQ(got == nullptr, expected == nullptr) << key;
                if (expected) {
                    EXPECT_EQ(*got, *expected) << key;
                }
            }
        }
        EXPECT_EQ(objectForKey(objectAtIndex(chosen, 0), "Extra"), nullptr);
        EXPECT_EQ(*objectAtIndex(chosen, 1), *objectAtIndex(whole, 1));
        EXPECT_EQ(*objectAtIndex(chosen, 3), *objectAtIndex(whole, 3));
    }

    std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><dict><key>Name</key><string>A</string><key>Extra</key>";
    for (std::size_t level = 0; level <= kMaximumPropertyListDepth; ++level)
        deep += "<array>";
    for (std::size_t level = 0; level <= kMaximumPropertyListDepth; ++level)
        deep += "</array>";
    deep += "</dict></array></plist>";
    for (const std::string& unreadable : { deep,
             std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Name</key><string>A</string></dict></plist>"), std::string("garbage") }) {
        m_folder.write(kSettings, unreadable);
        EXPECT_EQ(arrayWithContentsOfFile(kSettings), nullptr);
        EXPECT_EQ(arrayWithEntriesOfFile(kSettings, keys), nullptr);
    }
}
