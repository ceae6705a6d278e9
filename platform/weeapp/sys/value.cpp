#include <weeapp/sys/value.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <optional>

namespace weeapp::sys {

namespace {

constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();

std::int32_t clampToInt32(std::int64_t value)
{
    if (value < kIntMin)
        return static_cast<std::int32_t>(kIntMin);
    if (value > kIntMax)
        return static_cast<std::int32_t>(kIntMax);
    return static_cast<std::int32_t>(value);
}

// The low 32 bits, read as two's complement.
std::int32_t lowBitsOf(std::uint64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::int32_t truncateToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(kIntMin))
        return static_cast<std::int32_t>(kIntMin);
    if (value >= static_cast<double>(kIntMax))
        return static_cast<std::int32_t>(kIntMax);
    return static_cast<std::int32_t>(value);
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipSpace(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

std::string formatReal(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.16g", value);
    return buffer;
}

// A date as calendar fields in UTC, with its microseconds; nothing beyond what a calendar year of
// int can hold or for a date that is no number.
struct CalendarTime {
    std::tm parts;
    long microseconds;
};

std::optional<CalendarTime> calendarTimeOf(double secondsSinceReferenceDate)
{
    double whole = std::floor(secondsSinceReferenceDate);
    if (!std::isfinite(whole) || std::fabs(whole) > 1e15)
        return std::nullopt;
    long microseconds = std::lround((secondsSinceReferenceDate - whole) * 1e6);
    if (microseconds >= 1000000) {
        whole += 1;
        microseconds -= 1000000;
    }
    // 978307200 is 2001-01-01 00:00:00 UTC in Unix time.
    const auto time = static_cast<std::time_t>(whole + 978307200.0);
    CalendarTime calendar { {}, microseconds };
    if (!gmtime_r(&time, &calendar.parts))
        return std::nullopt;
    return calendar;
}

// Four digits for the years 0 to 9999; a sign and more digits beyond, as ISO 8601 extends them.
std::string yearText(const std::tm& parts)
{
    const long long year = 1900LL + parts.tm_year;
    char buffer[32];
    if (year >= 0 && year <= 9999)
        std::snprintf(buffer, sizeof buffer, "%04lld", year);
    else
        std::snprintf(buffer, sizeof buffer, "%+05lld", year);
    return buffer;
}

std::string formatDate(double secondsSinceReferenceDate)
{
    const std::optional<CalendarTime> calendar = calendarTimeOf(secondsSinceReferenceDate);
    if (!calendar)
        return "(invalid date)";
    const std::tm& parts = calendar->parts;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "-%02d-%02d %02d:%02d:%02d +0000", parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return yearText(parts) + buffer;
}

std::string formatData(const Data& data)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "<";
    for (std::size_t i = 0; i < data.bytes.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            text += ' ';
        text += kHex[data.bytes[i] >> 4];
        text += kHex[data.bytes[i] & 0xf];
    }
    text += '>';
    return text;
}

// Texts inside a collection's description are quoted unless they are a plain word.
std::string quotedIfNeeded(const std::string& text)
{
    bool plain = !text.empty();
    for (char c : text) {
        bool wordCharacter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_' || c == '.' || c == '$' || c == '/';
        if (!wordCharacter) {
            plain = false;
            break;
        }
    }
    if (plain)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string describe(const ValuePtr& value, int indent, bool nested);

std::string describeStorage(const Value::Storage& storage, int indent, bool nested)
{
    const std::string padding(static_cast<std::size_t>(indent) * 4, ' ');
    const std::string innerPadding(static_cast<std::size_t>(indent + 1) * 4, ' ');
    struct Describer {
        int indent;
        bool nested;
        const std::string& padding;
        const std::string& innerPadding;

        std::string operator()(bool value) const { return value ? "1" : "0"; }
        std::string operator()(std::int64_t value) const { return std::to_string(value); }
        std::string operator()(std::uint64_t value) const { return std::to_string(value); }
        std::string operator()(Uid value) const { return "{value = " + std::to_string(value.value) + "}"; }
        std::string operator()(double value) const { return formatReal(value); }
        std::string operator()(const std::string& value) const { return nested ? quotedIfNeeded(value) : value; }
        std::string operator()(const Data& value) const { return formatData(value); }
        std::string operator()(const Date& value) const { return formatDate(value.secondsSinceReferenceDate); }
        std::string operator()(const Array& value) const
        {
            std::string text = "(\n";
            for (std::size_t i = 0; i < value.size(); ++i) {
                text += innerPadding + describe(value[i], indent + 1, true);
                text += i + 1 < value.size() ? ",\n" : "\n";
            }
            return text + padding + ")";
        }
        std::string operator()(const Dictionary& value) const
        {
            std::string text = "{\n";
            for (const auto& [key, item] : value)
                text += innerPadding + quotedIfNeeded(key) + " = " + describe(item, indent + 1, true) + ";\n";
            return text + padding + "}";
        }
    };
    return std::visit(Describer { indent, nested, padding, innerPadding }, storage);
}

std::string describe(const ValuePtr& value, int indent, bool nested)
{
    if (!value)
        return "(null)";
    return describeStorage(value->storage(), indent, nested);
}

bool equalValues(const ValuePtr& left, const ValuePtr& right)
{
    if (!left || !right)
        return left == right;
    return *left == *right;
}

}

ValuePtr Value::boolean(bool value) { return std::make_shared<const Value>(std::in_place_type<bool>, value); }
ValuePtr Value::integer(std::int64_t value) { return std::make_shared<const Value>(std::in_place_type<std::int64_t>, value); }
ValuePtr Value::unsignedInteger(std::uint64_t value)
{
    if (value <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return integer(static_cast<std::int64_t>(value));
    return std::make_shared<const Value>(std::in_place_type<std::uint64_t>, value);
}
ValuePtr Value::uid(std::uint64_t value) { return std::make_shared<const Value>(std::in_place_type<Uid>, Uid { value }); }
ValuePtr Value::real(double value) { return std::make_shared<const Value>(std::in_place_type<double>, value); }
ValuePtr Value::string(std::string value) { return std::make_shared<const Value>(std::in_place_type<std::string>, std::move(value)); }
ValuePtr Value::data(std::vector<std::uint8_t> bytes) { return std::make_shared<const Value>(std::in_place_type<Data>, Data { std::move(bytes) }); }
ValuePtr Value::date(double seconds) { return std::make_shared<const Value>(std::in_place_type<Date>, Date { seconds }); }
ValuePtr Value::array(Array value) { return std::make_shared<const Value>(std::in_place_type<Array>, std::move(value)); }
ValuePtr Value::dictionary(Dictionary value) { return std::make_shared<const Value>(std::in_place_type<Dictionary>, std::move(value)); }

bool Value::isNumber() const
{
    return std::holds_alternative<bool>(m_storage) || isInteger() || std::holds_alternative<double>(m_storage);
}

std::int32_t Value::intValue() const
{
    if (auto* value = std::get_if<std::string>(&m_storage))
        return intValueOfText(*value);
    if (auto* value = std::get_if<std::int64_t>(&m_storage))
        return lowBitsOf(static_cast<std::uint64_t>(*value));
    if (auto* value = std::get_if<std::uint64_t>(&m_storage))
        return lowBitsOf(*value);
    if (auto* value = std::get_if<double>(&m_storage))
        return truncateToInt32(*value);
    if (auto* value = std::get_if<bool>(&m_storage))
        return *value ? 1 : 0;
    return 0;
}

bool Value::boolValue() const
{
    if (auto* value = std::get_if<std::string>(&m_storage))
        return boolValueOfText(*value);
    if (auto* value = std::get_if<std::int64_t>(&m_storage))
        return *value != 0;
    if (std::holds_alternative<std::uint64_t>(m_storage))
        return true;
    if (auto* value = std::get_if<double>(&m_storage))
        return *value != 0.0;
    if (auto* value = std::get_if<bool>(&m_storage))
        return *value;
    return false;
}

std::string Value::description() const
{
    return describeStorage(m_storage, 0, false);
}

bool Value::operator==(const Value& other) const
{
    if (m_storage.index() != other.m_storage.index())
        return false;
    if (auto* array = asArray()) {
        const Array& otherArray = *other.asArray();
        if (array->size() != otherArray.size())
            return false;
        for (std::size_t i = 0; i < array->size(); ++i) {
            if (!equalValues((*array)[i], otherArray[i]))
                return false;
        }
        return true;
    }
    if (auto* dictionary = asDictionary()) {
        const Dictionary& otherDictionary = *other.asDictionary();
        if (dictionary->size() != otherDictionary.size())
            return false;
        auto it = otherDictionary.begin();
        for (const auto& [key, item] : *dictionary) {
            if (key != it->first || !equalValues(item, it->second))
                return false;
            ++it;
        }
        return true;
    }
    return m_storage == other.m_storage;
}

std::int32_t intValue(const ValuePtr& value)
{
    return value ? value->intValue() : 0;
}

bool boolValue(const ValuePtr& value)
{
    return value ? value->boolValue() : false;
}

std::string description(const ValuePtr& value)
{
    return describe(value, 0, false);
}

ValuePtr objectForKey(const ValuePtr& dictionary, std::string_view key)
{
    if (!dictionary)
        return nullptr;
    const Dictionary* entries = dictionary->asDictionary();
    if (!entries)
        return nullptr;
    auto it = entries->find(key);
    return it == entries->end() ? nullptr : it->second;
}

ValuePtr objectAtIndex(const ValuePtr& array, std::size_t index)
{
    if (!array)
        return nullptr;
    const Array* items = array->asArray();
    if (!items || index >= items->size())
        return nullptr;
    return (*items)[index];
}

std::size_t count(const ValuePtr& value)
{
    if (!value)
        return 0;
    if (const Array* items = value->asArray())
        return items->size();
    if (const Dictionary* entries = value->asDictionary())
        return entries->size();
    return 0;
}

std::int32_t intValueOfText(std::string_view text)
{
    std::size_t i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range.
    std::int64_t magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        if (magnitude <= kIntMax + 1)
            magnitude = magnitude * 10 + (text[i] - '0');
    }
    return clampToInt32(negative ? -magnitude : magnitude);
}

std::string isoDateText(const Date& date)
{
    const std::optional<CalendarTime> calendar = calendarTimeOf(date.secondsSinceReferenceDate);
    if (!calendar)
        return "(invalid date)";
    const std::tm& parts = calendar->parts;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "-%02d-%02dT%02d:%02d:%02d", parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    std::string text = yearText(parts) + buffer;
    if (calendar->microseconds > 0) {
        char fraction[32];
        std::snprintf(fraction, sizeof fraction, ".%06ld", calendar->microseconds);
        std::string digits = fraction;
        digits.erase(digits.find_last_not_of('0') + 1);
        text += digits;
    }
    return text + "Z";
}

bool boolValueOfText(std::string_view text)
{
    std::size_t i = skipSpace(text);
    if (i == text.size())
        return false;
    char first = text[i];
    if (first == 'Y' || first == 'y' || first == 'T' || first == 't')
        return true;
    if (first == '+' || first == '-')
        ++i;
    while (i < text.size() && text[i] == '0')
        ++i;
    return i < text.size() && text[i] >= '1' && text[i] <= '9';
}

}
