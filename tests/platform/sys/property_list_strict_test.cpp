#include "support/property_list_shapes.h"
#include "support/temporary_folder.h"
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/property_list.h>
#include <weeapp/sys/property_list_document.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace sys;

namespace {

constexpr const char* kSettings = "/private/var/mobile/Library/Preferences/de.quillfen.kavrin.plist";
constexpr std::string_view kDictionaryRoot = "<dict><key>metroStyle</key><true/><key>n</key><integer>7</integer></dict>";
constexpr std::string_view kArrayRoot = "<array><dict><key>Name</key><string>Anna</string></dict></array>";

std::string xmlOf(std::string_view body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + std::string(body) + "</plist>\n";
}

// The bytes in UTF-16, little-endian, after a byte-order mark, with the declaration saying so.
std::string asUtf16(const std::string& utf8)
{
    std::string text = utf8;
    const std::string declared = "encoding=\"UTF-8\"";
    text.replace(text.find(declared), declared.size(), "encoding=\"UTF-16\"");
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

class PropertyListStrictTest : public ::testing::Test {
protected:
    void SetUp() override { setPhoneRoot(m_folder.path()); }
    void TearDown() override { setPhoneRoot("/"); }

    kavrin::testing::TemporaryFolder m_folder;
};

}

// Each fault makes the whole file unreadable to every reader, also when the fault lies outside
// the entries asked for, also in UTF-16; without the fault the same root reads.
TEST_F(PropertyListStrictTest, MalformedXmlIsUnreadableWhole)
{
    ASSERT_NE(propertyListFromBytes(xmlOf(kDictionaryRoot)), nullptr);
    ASSERT_NE(propertyListFromBytes(xmlOf(kArrayRoot)), nullptr);
    const std::string_view names[] = { "Name" };
    for (const std::string& bytes : kavrin::testing::malformedXmlPropertyLists(kDictionaryRoot)) {
        EXPECT_EQ(propertyListFromBytes(bytes), nullptr) << bytes;
        EXPECT_EQ(propertyListFromBytes(asUtf16(bytes)), nullptr) << bytes;
        EXPECT_FALSE(PropertyListDocument::fromBytes(bytes)) << bytes;
        m_folder.write(kSettings, bytes);
        EXPECT_EQ(dictionaryWithContentsOfFile(kSettings), nullptr) << bytes;
        EXPECT_EQ(dictionaryEntryOfFile(kSettings, "metroStyle"), nullptr) << bytes;
    }
    for (const std::string& bytes : kavrin::testing::malformedXmlPropertyLists(kArrayRoot)) {
        EXPECT_EQ(propertyListFromBytes(bytes), nullptr) << bytes;
        m_folder.write(kSettings, bytes);
        EXPECT_EQ(arrayWithContentsOfFile(kSettings), nullptr) << bytes;
        EXPECT_EQ(arrayWithEntriesOfFile(kSettings, names), nullptr) << bytes;
    }
}

// Numbers and dates in every form that is well formed read as a second reader (python3's
// plistlib) reads them: white space around numbers, signs, hexadecimal, the whole 64-bit ranges,
// every spelling of a real, text split by a comment or a CDATA section; white space, comments
// and processing instructions outside the values; a document type without an internal subset.
TEST_F(PropertyListStrictTest, WellFormedValuesReadAsASecondReaderReadsThem)
{
    const std::pair<std::string, ValuePtr> cases[] = {
        { "<integer> 42\n</integer>", Value::integer(42) },
        { "<integer>+42</integer>", Value::integer(42) },
        { "<integer>-7 </integer>", Value::integer(-7) },
        { "<integer>\t+3</integer>", Value::integer(3) },
        { "<integer>0</integer>", Value::integer(0) },
        { "<integer>-0</integer>", Value::integer(0) },
        { "<integer>000</integer>", Value::integer(0) },
        { "<integer>0x1F</integer>", Value::integer(31) },
        { "<integer>0X1f </integer>", Value::integer(31) },
        { "<integer>0xFFFFFFFFFFFFFFFF</integer>", Value::unsignedInteger(std::numeric_limits<std::uint64_t>::max()) },
        { "<integer>18446744073709551615</integer>", Value::unsignedInteger(std::numeric_limits<std::uint64_t>::max()) },
        { "<integer>9223372036854775808</integer>", Value::unsignedInteger(std::uint64_t { 1 } << 63) },
        { "<integer>-9223372036854775808</integer>", Value::integer(std::numeric_limits<std::int64_t>::min()) },
        { "<integer>4<!-- a comment -->2</integer>", Value::integer(42) },
        { "<integer><![CDATA[42]]></integer>", Value::integer(42) },
        { "<real>1e5</real>", Value::real(1e5) },
        { "<real>.5</real>", Value::real(0.5) },
        { "<real>1.</real>", Value::real(1) },
        { "<real>+1.5</real>", Value::real(1.5) },
        { "<real> -2.5\n</real>", Value::real(-2.5) },
        { "<real>1E-3</real>", Value::real(1e-3) },
        { "<real>-0.0</real>", Value::real(-0.0) },
        { "<real>1e400</real>", Value::real(INFINITY) },
        { "<real>inf</real>", Value::real(INFINITY) },
        { "<real>-Infinity</real>", Value::real(-INFINITY) },
        { "<date>2020-02-29T23:59:59Z</date>", Value::date(604713599) },
        { "<date>0001-01-01T00:00:00Z</date>", Value::date(-63113904000) },
        { "<date>9999-12-31T23:59:59Z</date>", Value::date(252423993599) },
    };
    for (const auto& [element, expected] : cases) {
        const ValuePtr value = propertyListFromBytes(xmlOf("\n  " + element + "\n"));
        EXPECT_TRUE(identicalValues(value, expected)) << element << " read as " << (value ? description(value) : "nothing");
    }
    const ValuePtr nan = propertyListFromBytes(xmlOf("<real>NaN</real>"));
    const double* real = nan ? std::get_if<double>(&nan->storage()) : nullptr;
    ASSERT_NE(real, nullptr);
    EXPECT_TRUE(std::isnan(*real));

    const std::string around =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- before -->\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n<!-- in --><dict>\n\t<key>a</key>\n\t<!-- between --><integer>1</integer>\n</dict>\n</plist>\n"
        "<!-- after --><?after?>\n\n";
    EXPECT_EQ(count(propertyListFromBytes(around)), 1u);
}

// A dictionary of the one key CF$UID with an integer is a UID wherever it stands, also at the
// root and with the key written with a reference; one with another key, or a value that is no
// integer at or above 0, stays a dictionary. A document keeps the UIDs through an edit.
TEST_F(PropertyListStrictTest, CfUidDictionariesReadAsUids)
{
    const auto uidDictionary = [](std::string_view value) { return "<dict><key>CF$UID</key>" + std::string(value) + "</dict>"; };
    const std::string body = "<dict><key>top</key>" + uidDictionary("<integer>7</integer>") + "<key>list</key><array><true/>"
        + uidDictionary("<integer>0</integer>") + "<array>" + uidDictionary("<integer>18446744073709551615</integer>") + "</array></array>"
        + "<key>escaped</key><dict><key>CF&#36;UID</key><integer>3</integer></dict>"
        + "<key>twoKeys</key><dict><key>CF$UID</key><integer>1</integer><key>x</key><true/></dict>"
        + "<key>text</key>" + uidDictionary("<string>1</string>") + "<key>negative</key>" + uidDictionary("<integer>-1</integer>") + "</dict>";
    const std::string bytes = xmlOf(body);
    const ValuePtr read = propertyListFromBytes(bytes);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(*objectForKey(read, "top"), *Value::uid(7));
    EXPECT_EQ(*objectAtIndex(objectForKey(read, "list"), 1), *Value::uid(0));
    EXPECT_EQ(*objectAtIndex(objectAtIndex(objectForKey(read, "list"), 2), 0), *Value::uid(std::numeric_limits<std::uint64_t>::max()));
    EXPECT_EQ(*objectForKey(read, "escaped"), *Value::uid(3));
    for (const char* key : { "twoKeys", "text", "negative" })
        EXPECT_TRUE(objectForKey(read, key)->isDictionary()) << key;

    m_folder.write(kSettings, bytes);
    EXPECT_EQ(*objectForKey(dictionaryEntryOfFile(kSettings, "top"), "top"), *Value::uid(7));
    m_folder.write(kSettings, xmlOf("<array>" + uidDictionary("<integer>5</integer>") + "<dict><key>Name</key>" + uidDictionary("<integer>6</integer>") + "</dict></array>"));
    const std::string_view names[] = { "Name" };
    const ValuePtr entries = arrayWithEntriesOfFile(kSettings, names);
    ASSERT_EQ(count(entries), 2u);
    EXPECT_EQ(*objectAtIndex(entries, 0), *Value::uid(5));
    EXPECT_EQ(*objectForKey(objectAtIndex(entries, 1), "Name"), *Value::uid(6));

    const ValuePtr root = propertyListFromBytes(xmlOf(uidDictionary("<integer>9</integer>")));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(*root, *Value::uid(9));

    // The library writes a UID of 2^63 or more in XML as a negative integer, which reads back as
    // no UID: such a document is not written.
    std::optional<PropertyListDocument> huge = PropertyListDocument::fromBytes(bytes);
    ASSERT_TRUE(huge);
    huge->set("added", Value::boolean(true));
    const auto refused = huge->serialize();
    ASSERT_TRUE(std::holds_alternative<PropertyListDocument::CarryFailure>(refused));
    EXPECT_EQ(std::get<PropertyListDocument::CarryFailure>(refused).key, "list");
    EXPECT_EQ(std::get<PropertyListDocument::CarryFailure>(refused).kind, "UID");

    const std::string editable = xmlOf("<dict><key>top</key>" + uidDictionary("<integer>7</integer>")
        + "<key>twoKeys</key><dict><key>CF$UID</key><integer>1</integer><key>x</key><true/></dict></dict>");
    std::optional<PropertyListDocument> document = PropertyListDocument::fromBytes(editable);
    ASSERT_TRUE(document);
    EXPECT_EQ(*document->value("top"), *Value::uid(7));
    document->set("added", Value::boolean(true));
    const auto written = document->serialize();
    ASSERT_TRUE(std::holds_alternative<std::string>(written));
    const std::string& rewritten = std::get<std::string>(written);
    EXPECT_NE(rewritten.find("<key>CF$UID</key>"), std::string::npos);
    const ValuePtr reread = propertyListFromBytes(rewritten);
    EXPECT_TRUE(identicalValues(objectForKey(reread, "top"), Value::uid(7)));
    EXPECT_TRUE(identicalValues(objectForKey(reread, "twoKeys"), objectForKey(read, "twoKeys")));
    EXPECT_EQ(count(reread), 3u);
}
