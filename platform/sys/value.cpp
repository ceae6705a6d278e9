#include "sys/value.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>

namespace sys {

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

std::string formatDate(double secondsSinceReferenceDate)
{
    // 978307200 is 2001-01-01 00:00:00 UTC in Unix time.
    double unixSeconds = std::floor(secondsSinceReferenceDate) + 978307200.0;
    if (!std::isfinite(unixSeconds) || std::fabs(unixSeconds) > 1e15)
        return "(invalid date)";
    std::time_t time = static_cast<std::time_t>(unixSeconds);
    std::tm parts {};
    if (!gmtime_r(&time, &parts))
        return "(invalid date)";
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S +0000", &parts);
    return buffer;
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
ValuePtr Value::real(double value) { return std::make_shared<const Value>(std::in_place_type<double>, value); }
ValuePtr Value::string(std::string value) { return std::make_shared<const Value>(std::in_place_type<std::string>, std::move(value)); }
ValuePtr Value::data(std::vector<std::uint8_t> bytes) { return std::make_shared<const Value>(std::in_place_type<Data>, Data { std::move(bytes) }); }
ValuePtr Value::date(double seconds) { return std::make_shared<const Value>(std::in_place_type<Date>, Date { seconds }); }
ValuePtr Value::array(Array value) { return std::make_shared<const Value>(std::in_place_type<Array>, std::move(value)); }
ValuePtr Value::dictionary(Dictionary value) { return std::make_shared<const Value>(std::in_place_type<Dictionary>, std::move(value)); }

bool Value::isNumber() const
{
    return std::holds_alternative<bool>(m_storage) || std::holds_alternative<std::int64_t>(m_storage) || std::holds_alternative<double>(m_storage);
}

std::int32_t Value::intValue() const
{
    if (auto* value = std::get_if<std::string>(&m_storage))
        return intValueOfText(*value);
    if (auto* value = std::get_if<std::int64_t>(&m_storage))
        return clampToInt32(*value);
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
