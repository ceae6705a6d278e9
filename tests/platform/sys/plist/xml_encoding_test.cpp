#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/plist/xml_encoding.h>

#include <gtest/gtest.h>

#include <string>

using namespace weeapp::sys;

namespace {

std::string declared(const std::string& encoding, const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n<plist version=\"1.0\"><string>" + body + "</string></plist>";
}

// Each character as two bytes, low byte first or last.
std::string utf16(const std::string& ascii, bool littleEndian)
{
    std::string bytes;
    for (char c : ascii)
        bytes += littleEndian ? std::string { c, '\0' } : std::string { '\0', c };
    return bytes;
}

std::string textOf(const std::string& bytes)
{
    ValuePtr value = propertyListFromBytes(bytes);
    return value && value->asString() ? *value->asString() : std::string("(unreadable)");
}

}

// The declared encoding, or the byte-order mark, decides how the text reads; UTF-8 needs no copy.
TEST(XmlEncoding, DeclarationsAndMarksAreHonoured)
{
    EXPECT_EQ(textOf(declared("ISO-8859-1", "Jos\xE9 M\xFCller")), "José Müller");
    EXPECT_EQ(textOf(declared("windows-1252", "\x93quoted\x94 \x80")), "“quoted” €");
    EXPECT_EQ(textOf(declared("macintosh", "Zo\x91")), "Zoë");
    EXPECT_EQ(textOf(declared("x-mac-roman", "Zo\x91")), "Zoë");
    EXPECT_EQ(textOf("\xEF\xBB\xBF" + declared("UTF-8",
                         "Gr\xC3\xBC\xC3\x9F"
                         "e")),
        "Grüße");
    const std::string ascii = declared("UTF-16", "Lea");
    EXPECT_EQ(textOf("\xFF\xFE" + utf16(ascii, true)), "Lea");
    EXPECT_EQ(textOf("\xFE\xFF" + utf16(ascii, false)), "Lea");
    // Without a mark, the first characters tell UTF-16 from ASCII.
    EXPECT_EQ(textOf(utf16(ascii, true)), "Lea");
    EXPECT_EQ(textOf(utf16(ascii, false)), "Lea");

    EXPECT_FALSE(xmlAsUtf8(declared("UTF-8", "plain"), 1024).converted);
    EXPECT_FALSE(xmlAsUtf8(declared("utf-8", "plain"), 1024).converted);
    EXPECT_FALSE(xmlAsUtf8("<plist version=\"1.0\"><true/></plist>", 1024).converted);
}

// An encoding no one knows, a name that would change how the conversion works, bytes that are
// not text in their encoding and text that grows past the bound are all unreadable.
TEST(XmlEncoding, UnknownEncodingsAndBadBytesAreUnreadable)
{
    EXPECT_EQ(textOf(declared("TF-8", "x")), "(unreadable)");
    EXPECT_EQ(textOf(declared("UTF-8//TRANSLIT", "x")), "(unreadable)");
    EXPECT_EQ(textOf(declared("", "x")), "(unreadable)");
    EXPECT_EQ(textOf(declared("US-ASCII", "caf\xE9")), "(unreadable)");
    EXPECT_EQ(textOf("\xFF\xFE" + utf16("<plist><string>odd</string></plist>", true) + "x"), "(unreadable)");
    EXPECT_FALSE(xmlAsUtf8(declared("ISO-8859-1", std::string(100, '\xE9')), 150).readable);
    EXPECT_TRUE(xmlAsUtf8(declared("ISO-8859-1", std::string(100, '\xE9')), 400).readable);
}
