#include <weeapp/sys/property_list_document.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <variant>

using namespace sys;

namespace {

std::string bytesOf(const Value& value, PropertyListFormat format)
{
    std::optional<std::string> bytes = serializePropertyList(value, format);
    EXPECT_TRUE(bytes);
    return bytes.value_or("");
}

PropertyListDocument::CarryFailure failureOf(const PropertyListDocument& document)
{
    auto serialized = document.serialize();
    if (auto* failure = std::get_if<PropertyListDocument::CarryFailure>(&serialized))
        return *failure;
    return { "(written)", "" };
}

}

// A change of one key leaves every other value as it was, to the bit, and the keys in the file's
// order: a new key goes last, a changed one keeps its place.
TEST(PropertyListDocument, OneChangeKeepsEverythingElse)
{
    const Dictionary entries {
        { "yearOne", Value::date(-63113904000) },
        { "fraction", Value::date(599627045.25) },
        { "uint64Max", Value::unsignedInteger(std::numeric_limits<std::uint64_t>::max()) },
        { "int64Min", Value::integer(std::numeric_limits<std::int64_t>::min()) },
        { "uid", Value::uid(7) },
        { "uids", Value::array({ Value::uid(1), Value::dictionary({ { "root", Value::uid(2) } }) }) },
        { "negativeZero", Value::real(-0.0) },
        { "data", Value::data({ 0, 255 }) },
        { "empty", Value::array({}) },
    };
    const std::string bytes = bytesOf(*Value::dictionary(entries), PropertyListFormat::Binary);
    std::optional<PropertyListDocument> document = PropertyListDocument::fromBytes(bytes);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->format(), PropertyListFormat::Binary);
    document->set("added", Value::boolean(true));
    document->set("data", Value::integer(3));
    EXPECT_TRUE(document->remove("empty"));
    EXPECT_FALSE(document->remove("empty"));

    auto serialized = document->serialize();
    ASSERT_TRUE(std::holds_alternative<std::string>(serialized));
    ValuePtr reread = propertyListFromBytes(std::get<std::string>(serialized));
    Dictionary wanted = entries;
    wanted["added"] = Value::boolean(true);
    wanted["data"] = Value::integer(3);
    wanted.erase("empty");
    EXPECT_TRUE(identicalValues(reread, Value::dictionary(wanted)));
    EXPECT_TRUE(std::signbit(std::get<double>(objectForKey(reread, "negativeZero")->storage())));
}

// What the library cannot write back as it was read refuses the whole document, naming the entry
// and the kind of value: XML has no year 1 in four digits and no sign on a zero, and no text
// with a NUL can be handed to the library.
TEST(PropertyListDocument, ValuesThatWouldChangeAreNamed)
{
    const auto xmlDocument = [](Dictionary entries) {
        return *PropertyListDocument::fromBytes(bytesOf(*Value::dictionary(std::move(entries)), PropertyListFormat::Xml));
    };
    // As another program writes the year 1; the library writes it without its four digits.
    PropertyListDocument ancient = *PropertyListDocument::fromBytes(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
        "<key>born</key><array><date>0001-01-01T00:00:00Z</date></array>"
        "<key>other</key><integer>1</integer></dict></plist>");
    ancient.set("showLabels", Value::boolean(true));
    EXPECT_EQ(failureOf(ancient).key, "born");
    EXPECT_EQ(failureOf(ancient).kind, "date");
    ancient.setFormat(PropertyListFormat::Binary);
    EXPECT_EQ(failureOf(ancient).key, "(written)");

    // As another program writes it: the library itself writes the zero without its sign.
    std::optional<PropertyListDocument> zero = PropertyListDocument::fromBytes(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>z</key><real>-0.0</real></dict></plist>");
    ASSERT_TRUE(zero);
    EXPECT_EQ(failureOf(*zero).key, "z");
    EXPECT_EQ(failureOf(*zero).kind, "real");

    PropertyListDocument plain = xmlDocument({ { "a", Value::integer(1) } });
    plain.set("nul", Value::string(std::string("a\0b", 3)));
    EXPECT_EQ(failureOf(plain).key, "nul");
    EXPECT_EQ(failureOf(plain).kind, "text");
    plain.remove("nul");
    EXPECT_EQ(failureOf(plain).key, "(written)");
}

// Only a dictionary at the root makes a document: not a UID, an array or a text.
TEST(PropertyListDocument, OnlyADictionaryRoot)
{
    EXPECT_FALSE(PropertyListDocument::fromBytes(bytesOf(*Value::uid(7), PropertyListFormat::Binary)));
    EXPECT_FALSE(PropertyListDocument::fromBytes(bytesOf(*Value::array({}), PropertyListFormat::Xml)));
    EXPECT_FALSE(PropertyListDocument::fromBytes("not a property list"));
    EXPECT_TRUE(PropertyListDocument::fromBytes(bytesOf(*Value::dictionary({}), PropertyListFormat::Xml)));
}
