#include <weeapp/sys/value.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace weeapp::sys;

// Integer conversion of text reads the leading decimal number and clamps it to 32 bits.
TEST(Value, IntValueOfText)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        { "3abc", 3 },
        { "0x1A", 0 },
        { "99999999999", 2147483647 },
        { "-99999999999999999999", -2147483647 - 1 },
        { "  \t\n-12 apples", -12 },
        { "+7", 7 },
        { "", 0 },
        { "abc", 0 },
        { "--1", 0 },
        { "- 1", 0 },
        { "2.9", 2 },
        { "05", 5 },
        { "\r5", 5 },
        { "\f6", 6 },
        { "\v7", 7 },
        { "-2147483648", -2147483647 - 1 },
        { "2147483647", 2147483647 },
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(intValueOfText(text), expected) << text;
}

// Boolean conversion of text looks at the first significant character, or at the number.
TEST(Value, BoolValueOfText)
{
    for (const char* yes : { "YES", "yes", "true", "T", "1", "-1", "+1", "00009", "  y", "\t7x" })
        EXPECT_TRUE(boolValueOfText(yes)) << yes;
    for (const char* no : { "NO", "no", "false", "0", "000", "+y", "--1", "", "   ", "abc", "0.5", "-" })
        EXPECT_FALSE(boolValueOfText(no)) << no;
}

// Numbers, booleans and the other kinds all convert without failure.
TEST(Value, ConversionsOfEveryKind)
{
    EXPECT_EQ(Value::real(2.7)->intValue(), 2);
    EXPECT_EQ(Value::real(-2.7)->intValue(), -2);
    EXPECT_EQ(Value::real(-1e300)->intValue(), -2147483647 - 1);
    EXPECT_EQ(Value::real(std::nan(""))->intValue(), 0);
    EXPECT_EQ(Value::integer(5000000000)->intValue(), 705032704);
    EXPECT_EQ(Value::boolean(true)->intValue(), 1);
    EXPECT_TRUE(Value::integer(-3)->boolValue());
    EXPECT_FALSE(Value::integer(0)->boolValue());
    EXPECT_TRUE(Value::real(0.25)->boolValue());

    const ValuePtr others[] = {
        Value::array({ Value::integer(1) }),
        Value::dictionary({ { "a", Value::integer(1) } }),
        Value::date(1000),
        Value::data({ 1, 2, 3 }),
    };
    for (const ValuePtr& other : others) {
        EXPECT_EQ(other->intValue(), 0) << other->description();
        EXPECT_FALSE(other->boolValue()) << other->description();
    }
    EXPECT_EQ(intValue(nullptr), 0);
    EXPECT_FALSE(boolValue(nullptr));
    EXPECT_EQ(intValue(Value::integer(7)), 7);
    EXPECT_TRUE(boolValue(Value::string("YES")));
}

// An integer keeps its low 32 bits, as the frameworks' number conversion does; a real is cut
// toward zero and saturates beyond 32 bits; a text clamps.
TEST(Value, IntValueOfWideNumbers)
{
    constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
    const std::pair<ValuePtr, std::int32_t> cases[] = {
        { Value::integer(kInt64Max), -1 },
        { Value::integer(kInt64Min), 0 },
        { Value::integer(4294967295), -1 },         // UInt32.max
        { Value::integer(2147483647), 2147483647 }, // Int32.max
        { Value::integer(-2147483648LL), -2147483647 - 1 },
        { Value::integer(4294967299), 3 }, // 2^32 + 3
        { Value::integer(-4294967299), -3 },
        { Value::unsignedInteger(18446744073709551615ULL), -1 },
        { Value::unsignedInteger(9223372036854775808ULL), 0 },
        { Value::unsignedInteger((1ULL << 63) + 275), 275 },
        { Value::real(4294967299.0), 2147483647 },
        { Value::real(1e20), 2147483647 },
        { Value::real(-1e20), -2147483647 - 1 },
        { Value::real(-2.9), -2 },
        { Value::real(std::numeric_limits<double>::infinity()), 2147483647 },
        { Value::string("4294967299"), 2147483647 },
        { Value::uid(7), 0 },
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(value->intValue(), expected) << value->description();
    EXPECT_TRUE(Value::unsignedInteger(18446744073709551615ULL)->boolValue());
    EXPECT_FALSE(Value::uid(1)->boolValue());
    // Only integers past the signed range are kept unsigned, so equal numbers compare equal.
    EXPECT_EQ(*Value::unsignedInteger(5), *Value::integer(5));
    EXPECT_NE(*Value::unsignedInteger(18446744073709551615ULL), *Value::integer(-1));
}

// Dates of any year in ISO 8601, with the fraction of a second when there is one.
TEST(Value, IsoDateTextOfAnyYear)
{
    const std::pair<double, const char*> cases[] = {
        { 0, "2001-01-01T00:00:00Z" },
        { -4165516800, "1869-01-01T00:00:00Z" },
        { -63113904000, "0001-01-01T00:00:00Z" },
        { 6279724800, "2199-12-31T00:00:00Z" },
        { 599627045.25, "2020-01-02T03:04:05.25Z" },
        { 0.000001, "2001-01-01T00:00:00.000001Z" },
        { -0.5, "2000-12-31T23:59:59.5Z" },
        { 252392457600, "9999-01-01T00:00:00Z" },
        { 252423993600, "+10000-01-01T00:00:00Z" },
        { -63145526400, "0000-01-01T00:00:00Z" },
        { -63177062400, "-0001-01-01T00:00:00Z" },
        // A fraction that rounds to a whole second carries into the seconds.
        { 0.9999999, "2001-01-01T00:00:01Z" },
        { -0.0000001, "2001-01-01T00:00:00Z" },
        // Past 10^15 seconds either way, or no number at all, a date has no calendar text.
        { 1e15 + 1, "(invalid date)" },
        { -1e15 - 1, "(invalid date)" },
        { 1e16, "(invalid date)" },
        { NAN, "(invalid date)" },
        { INFINITY, "(invalid date)" },
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(isoDateText(Date { seconds }), text) << seconds;
    EXPECT_TRUE(isoDateText(Date { 1e15 }).starts_with("+3")) << isoDateText(Date { 1e15 });
    EXPECT_TRUE(isoDateText(Date { -1e15 }).starts_with("-3")) << isoDateText(Date { -1e15 });
    EXPECT_EQ(Value::date(NAN)->description(), "(invalid date)");
    EXPECT_EQ(Value::date(-63113904000)->description(), "0001-01-01 00:00:00 +0000");
}

// Lookups on nil, on the wrong kind or out of range give nil or 0.
TEST(Value, LookupsAnswerNilForWrongKinds)
{
    ValuePtr dictionary = Value::dictionary({ { "Name", Value::string("Ann") } });
    ValuePtr array = Value::array({ dictionary, Value::integer(3) });

    EXPECT_EQ(*objectForKey(dictionary, "Name"), *Value::string("Ann"));
    EXPECT_EQ(objectForKey(dictionary, "Label"), nullptr);
    EXPECT_EQ(objectForKey(array, "Name"), nullptr);
    EXPECT_EQ(objectForKey(nullptr, "Name"), nullptr);
    EXPECT_EQ(objectAtIndex(array, 0), dictionary);
    EXPECT_EQ(objectAtIndex(array, 2), nullptr);
    EXPECT_EQ(objectAtIndex(dictionary, 0), nullptr);
    EXPECT_EQ(objectAtIndex(nullptr, 0), nullptr);
    EXPECT_EQ(count(array), 2u);
    EXPECT_EQ(count(dictionary), 1u);
    EXPECT_EQ(count(Value::string("abc")), 0u);
    EXPECT_EQ(count(nullptr), 0u);
}

// What "%@" prints for each kind.
TEST(Value, Descriptions)
{
    EXPECT_EQ(description(nullptr), "(null)");
    EXPECT_EQ(description(Value::string("_$!<Mobile>!$_")), "_$!<Mobile>!$_");
    EXPECT_EQ(description(Value::integer(-17)), "-17");
    EXPECT_EQ(description(Value::real(2.5)), "2.5");
    EXPECT_EQ(description(Value::boolean(true)), "1");
    EXPECT_EQ(description(Value::data({ 0x01, 0xab, 0x00, 0xff, 0x10 })), "<01ab00ff 10>");
    EXPECT_EQ(description(Value::date(0)), "2001-01-01 00:00:00 +0000");
    EXPECT_EQ(description(Value::array({ Value::integer(1), Value::string("a b") })), "(\n    1,\n    \"a b\"\n)");
    EXPECT_EQ(description(Value::dictionary({ { "key", Value::array({}) } })), "{\n    key = (\n    );\n}");
    EXPECT_EQ(description(Value::unsignedInteger(18446744073709551615ULL)), "18446744073709551615");
    EXPECT_EQ(description(Value::uid(7)), "{value = 7}");
    EXPECT_EQ(description(Value::array({ Value::array({ Value::integer(1) }) })), "(\n    (\n        1\n    )\n)");
    EXPECT_EQ(description(Value::dictionary({ { "k", Value::string("a b") } })), "{\n    k = \"a b\";\n}");
    // Inside a collection a text is bare only when it is a word of ASCII letters, digits and _ . $ /;
    // quoted, its quotes and backslashes are escaped.
    EXPECT_EQ(description(Value::array({ Value::string("azAZ09_.$/") })), "(\n    azAZ09_.$/\n)");
    for (const char* quoted : { "a@", "a[", "a`", "a{", "a:", "a-", "" })
        EXPECT_EQ(description(Value::array({ Value::string(quoted) })), "(\n    \"" + std::string(quoted) + "\"\n)") << quoted;
    EXPECT_EQ(description(Value::array({ Value::string("say \"hi\" \\") })), "(\n    \"say \\\"hi\\\" \\\\\"\n)");
}

// Values compare by kind and content, nil elements included; an unsigned number within the signed
// range is the signed one. Only booleans, integers and reals are numbers.
TEST(Value, EqualityAndKinds)
{
    EXPECT_EQ(*Value::array({ nullptr }), *Value::array({ nullptr }));
    EXPECT_NE(*Value::array({ nullptr }), *Value::array({ Value::integer(1) }));
    EXPECT_NE(*Value::array({ Value::integer(1) }), *Value::array({ nullptr }));
    EXPECT_EQ(*Value::unsignedInteger(9223372036854775807ULL), *Value::integer(9223372036854775807LL));
    const auto one = Value::integer(1);
    const auto two = Value::integer(2);
    EXPECT_EQ(*Value::array({ one, two }), *Value::array({ Value::integer(1), Value::integer(2) }));
    for (const ValuePtr& other : { Value::array({ one }), Value::array({ one, two, two }), Value::array({ two, two }), Value::array({ one, one }) })
        EXPECT_NE(*Value::array({ one, two }), *other) << other->description();
    EXPECT_EQ(*Value::dictionary({ { "a", one }, { "b", two } }), *Value::dictionary({ { "a", Value::integer(1) }, { "b", Value::integer(2) } }));
    for (const ValuePtr& other : { Value::dictionary({ { "a", one } }), Value::dictionary({ { "a", one }, { "c", two } }),
             Value::dictionary({ { "a", one }, { "b", one } }), Value::dictionary({ { "a", two }, { "b", two } }) })
        EXPECT_NE(*Value::dictionary({ { "a", one }, { "b", two } }), *other) << other->description();
    for (const ValuePtr& number : { Value::boolean(false), Value::integer(0), Value::unsignedInteger(18446744073709551615ULL), Value::real(0) })
        EXPECT_TRUE(number->isNumber()) << number->description();
    for (const ValuePtr& other : { Value::string("1"), Value::data({ 1 }), Value::date(0), Value::uid(1), Value::array({}) })
        EXPECT_FALSE(other->isNumber()) << other->description();
    EXPECT_EQ(Value::boolean(false)->intValue(), 0);
    EXPECT_FALSE(Value::real(0)->boolValue());
    EXPECT_TRUE(Value::real(1)->boolValue());
    // A value's own description starts at the left margin, and a text alone is never quoted.
    EXPECT_EQ(Value::array({ Value::integer(1) })->description(), "(\n    1\n)");
    EXPECT_EQ(Value::string("a b")->description(), "a b");
}
