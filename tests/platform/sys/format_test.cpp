#include <weeapp/sys/format.h>

#include <gtest/gtest.h>

using namespace weeapp::sys;

// "%@" prints objects and text, nil as "(null)"; "%i" and "%d" integers; "%%" a percent sign.
TEST(Format, Conversions)
{
    ValuePtr none;
    EXPECT_EQ(stringWithFormat("tel:%@", std::string("+49 30 1234")), "tel:+49 30 1234");
    EXPECT_EQ(stringWithFormat("%@", none), "(null)");
    EXPECT_EQ(stringWithFormat("%@|%@", Value::string("Ann"), Value::integer(3)), "Ann|3");
    EXPECT_EQ(stringWithFormat("SELECT %i;", 42), "SELECT 42;");
    EXPECT_EQ(stringWithFormat("%d/%i", -7, 2147483647), "-7/2147483647");
    EXPECT_EQ(stringWithFormat("100%% %@", "sure"), "100% sure");
    EXPECT_EQ(stringWithFormat("plain"), "plain");
}

// Missing or mismatched arguments print nothing; unknown conversions stay as written.
TEST(Format, ForgivingWithBadArguments)
{
    EXPECT_EQ(stringWithFormat("a%@b%@c", "x"), "axbc");
    EXPECT_EQ(stringWithFormat("[%i]", "text"), "[]");
    EXPECT_EQ(stringWithFormat("[%@]", 5), "[]");
    EXPECT_EQ(stringWithFormat("%s and %@ and %", "y"), "%s and y and %");
}

// Splitting keeps empty pieces and gives one piece when the separator is absent.
TEST(Format, ComponentsSeparatedByString)
{
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(componentsSeparatedByString("", " "), Pieces { "" });
    EXPECT_EQ(componentsSeparatedByString("Ann", " "), Pieces { "Ann" });
    EXPECT_EQ(componentsSeparatedByString("Ann Bea Cox", " "), (Pieces { "Ann", "Bea", "Cox" }));
    EXPECT_EQ(componentsSeparatedByString(" Ann", " "), (Pieces { "", "Ann" }));
    EXPECT_EQ(componentsSeparatedByString("a  b ", " "), (Pieces { "a", "", "b", "" }));
    EXPECT_EQ(componentsSeparatedByString("a--b", "--"), (Pieces { "a", "b" }));
    EXPECT_EQ(componentsSeparatedByString("abc", ""), Pieces { "abc" });
}

// Replacing changes every occurrence, left to right and without overlaps, and keeps the rest as
// it was; an empty target changes nothing. (A phone number loses its spaces this way.)
TEST(Format, ReplacingOccurrences)
{
    EXPECT_EQ(stringByReplacingOccurrencesOfString("+49 170 123 45", " ", ""), "+4917012345");
    EXPECT_EQ(stringByReplacingOccurrencesOfString("0171-555", " ", ""), "0171-555");
    EXPECT_EQ(stringByReplacingOccurrencesOfString("", " ", ""), "");
    EXPECT_EQ(stringByReplacingOccurrencesOfString("a b", "", "x"), "a b");
    EXPECT_EQ(stringByReplacingOccurrencesOfString(" a  b ", " ", "_"), "_a__b_");
    EXPECT_EQ(stringByReplacingOccurrencesOfString("aaa", "aa", "b"), "ba");
    EXPECT_EQ(stringByReplacingOccurrencesOfString("one, two, three", ", ", " and "), "one and two and three");
}
