#include "setting_value.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace kavrin::phone_files {

namespace {

// An optional sign and decimal digits, nothing else, within 64 bits.
bool readsAsInteger(std::string_view text, std::int64_t& number)
{
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits.front())))
        return false;
    std::string signedDigits = negative ? "-" + std::string(digits) : std::string(digits);
    auto [end, error] = std::from_chars(signedDigits.data(), signedDigits.data() + signedDigits.size(), number);
    return error == std::errc() && end == signedDigits.data() + signedDigits.size();
}

// Decimal digits, nothing else, within 64 bits unsigned.
bool readsAsUnsignedInteger(std::string_view text, std::uint64_t& number)
{
    std::string_view digits = text.starts_with('+') ? text.substr(1) : text;
    if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits.front())))
        return false;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc() && end == digits.data() + digits.size();
}

bool isQuoted(std::string_view text)
{
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

int hexDigit(char character)
{
    if (character >= '0' && character <= '9')
        return character - '0';
    if (character >= 'a' && character <= 'f')
        return character - 'a' + 10;
    if (character >= 'A' && character <= 'F')
        return character - 'A' + 10;
    return -1;
}

// The inside of a quoted text: \" \\ \n \r \t and \xHH stand for their characters, any other
// backslash for itself.
std::string unquote(std::string_view text)
{
    std::string result;
    std::string_view inside = text.substr(1, text.size() - 2);
    for (std::size_t i = 0; i < inside.size(); ++i) {
        char next = i + 1 < inside.size() ? inside[i + 1] : '\0';
        if (inside[i] != '\\' || !next) {
            result += inside[i];
            continue;
        }
        if (next == '"' || next == '\\')
            result += next;
        else if (next == 'n')
            result += '\n';
        else if (next == 'r')
            result += '\r';
        else if (next == 't')
            result += '\t';
        else if (next == 'x' && i + 3 < inside.size() && hexDigit(inside[i + 2]) >= 0 && hexDigit(inside[i + 3]) >= 0) {
            result += static_cast<char>(hexDigit(inside[i + 2]) * 16 + hexDigit(inside[i + 3]));
            i += 2;
        } else {
            result += '\\';
            continue;
        }
        ++i;
    }
    return result;
}

bool isControl(char character)
{
    auto byte = static_cast<unsigned char>(character);
    return byte < 0x20 || byte == 0x7f;
}

// In double quotes, with the quote, the backslash and every control character escaped, so that
// the text stays on one line.
std::string quote(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string result = "\"";
    for (char character : text) {
        if (character == '"' || character == '\\')
            result.append(1, '\\').append(1, character);
        else if (character == '\n')
            result += "\\n";
        else if (character == '\r')
            result += "\\r";
        else if (character == '\t')
            result += "\\t";
        else if (isControl(character))
            result.append("\\x").append(1, kHex[static_cast<unsigned char>(character) >> 4]).append(1, kHex[character & 0xf]);
        else
            result += character;
    }
    return result + '"';
}

// The shortest decimal that reads back as the same double, with a point or an exponent so that
// it cannot pass for an integer.
std::string realText(double real)
{
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, real);
    std::string result(text, error == std::errc() ? end : text);
    if (std::isfinite(real) && result.find_first_of(".e") == std::string::npos)
        result += ".0";
    return result;
}

std::string hexText(const weeapp::sys::Data& data)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string result = "<";
    for (std::uint8_t byte : data.bytes) {
        result += kHex[byte >> 4];
        result += kHex[byte & 0xf];
    }
    return result + '>';
}

// Whether a text written plain would pass for the way list writes a real, data, a date, a UID or
// a container, so that it must be quoted to stay a text.
bool readsAsAnotherKind(std::string_view text)
{
    if (text.front() == '[' || text.front() == '{' || text.front() == '<' || text.starts_with("UID("))
        return true;
    if (std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '+' || text.front() == '-' || text.front() == '.')
        return true;
    return text == "inf" || text == "nan";
}

std::string oneLineText(const weeapp::sys::Value& value, bool nested);

std::string elementText(const weeapp::sys::ValuePtr& value)
{
    return value ? oneLineText(*value, true) : std::string("null");
}

// Inside a container every text is quoted, so that commas and brackets in it stay its own.
std::string oneLineText(const weeapp::sys::Value& value, bool nested)
{
    const auto& storage = value.storage();
    if (const bool* flag = std::get_if<bool>(&storage))
        return *flag ? "true" : "false";
    if (const std::int64_t* number = std::get_if<std::int64_t>(&storage))
        return std::to_string(*number);
    if (const std::uint64_t* number = std::get_if<std::uint64_t>(&storage))
        return std::to_string(*number);
    if (const weeapp::sys::Date* date = value.asDate())
        return weeapp::sys::isoDateText(*date);
    if (const weeapp::sys::Uid* uid = value.asUid())
        return "UID(" + std::to_string(uid->value) + ")";
    if (const double* real = std::get_if<double>(&storage))
        return realText(*real);
    if (const weeapp::sys::Data* data = value.asData())
        return hexText(*data);
    if (const weeapp::sys::Array* array = value.asArray()) {
        std::string result = "[";
        for (std::size_t i = 0; i < array->size(); ++i)
            result += (i ? ", " : "") + elementText((*array)[i]);
        return result + ']';
    }
    if (const weeapp::sys::Dictionary* dictionary = value.asDictionary()) {
        std::string result = "{";
        for (const auto& [key, item] : *dictionary)
            result += (result.size() > 1 ? ", " : "") + quote(key) + ": " + elementText(item);
        return result + '}';
    }
    if (const std::string* text = value.asString()) {
        if (nested)
            return quote(*text);
        bool plain = !text->empty() && !std::isspace(static_cast<unsigned char>(text->front()))
            && !std::isspace(static_cast<unsigned char>(text->back())) && std::none_of(text->begin(), text->end(), isControl);
        if (plain) {
            weeapp::sys::ValuePtr reread = settingValueFromText(*text);
            plain = reread->asString() && *reread->asString() == *text && !readsAsAnotherKind(*text);
        }
        return plain ? *text : quote(*text);
    }
    return value.description();
}

}

weeapp::sys::ValuePtr settingValueFromText(std::string_view text)
{
    if (text == "true")
        return weeapp::sys::Value::boolean(true);
    if (text == "false")
        return weeapp::sys::Value::boolean(false);
    if (std::int64_t number = 0; readsAsInteger(text, number))
        return weeapp::sys::Value::integer(number);
    if (std::uint64_t number = 0; readsAsUnsignedInteger(text, number))
        return weeapp::sys::Value::unsignedInteger(number);
    if (isQuoted(text))
        return weeapp::sys::Value::string(unquote(text));
    return weeapp::sys::Value::string(std::string(text));
}

std::string settingValueText(const weeapp::sys::Value& value)
{
    return oneLineText(value, false);
}

std::string settingKeyText(std::string_view key)
{
    bool plain = !key.empty() && key.front() != '"'
        && std::none_of(key.begin(), key.end(), [](char c) { return isControl(c) || std::isspace(static_cast<unsigned char>(c)); });
    return plain ? std::string(key) : quote(key);
}

}
