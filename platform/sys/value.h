#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sys {

class Value;
// A property-list object as the frameworks hand it out: shared, immutable, and nil as nullptr.
using ValuePtr = std::shared_ptr<const Value>;
using Array = std::vector<ValuePtr>;
using Dictionary = std::map<std::string, ValuePtr, std::less<>>;

struct Data {
    std::vector<std::uint8_t> bytes;
    bool operator==(const Data&) const = default;
};

struct Date {
    double secondsSinceReferenceDate { 0 }; // 2001-01-01 00:00:00 UTC
    bool operator==(const Date&) const = default;
};

class Value {
public:
    using Storage = std::variant<bool, std::int64_t, double, std::string, Data, Date, Array, Dictionary>;

    explicit Value(Storage storage) : m_storage(std::move(storage)) { }
    template<typename Kind, typename... Arguments>
    explicit Value(std::in_place_type_t<Kind> kind, Arguments&&... arguments)
        : m_storage(kind, std::forward<Arguments>(arguments)...)
    {
    }

    static ValuePtr boolean(bool);
    static ValuePtr integer(std::int64_t);
    static ValuePtr real(double);
    static ValuePtr string(std::string);
    static ValuePtr data(std::vector<std::uint8_t>);
    static ValuePtr date(double secondsSinceReferenceDate);
    static ValuePtr array(Array);
    static ValuePtr dictionary(Dictionary);

    bool isBoolean() const { return std::holds_alternative<bool>(m_storage); }
    bool isNumber() const; // integer, real or boolean
    bool isString() const { return std::holds_alternative<std::string>(m_storage); }
    bool isData() const { return std::holds_alternative<Data>(m_storage); }
    bool isDate() const { return std::holds_alternative<Date>(m_storage); }
    bool isArray() const { return std::holds_alternative<Array>(m_storage); }
    bool isDictionary() const { return std::holds_alternative<Dictionary>(m_storage); }

    // nullptr unless the value is of that kind.
    const std::string* asString() const { return std::get_if<std::string>(&m_storage); }
    const Data* asData() const { return std::get_if<Data>(&m_storage); }
    const Array* asArray() const { return std::get_if<Array>(&m_storage); }
    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&m_storage); }

    const Storage& storage() const { return m_storage; }

    // Integer conversion: text as its leading decimal number clamped to 32 bits, a number
    // truncated toward zero (clamped), a boolean 1 or 0, every other kind 0.
    std::int32_t intValue() const;
    // Boolean conversion: text by its first significant character ("Y", "y", "T", "t", or
    // digits after an optional sign, not all zero), a number when non-zero, every other kind NO.
    bool boolValue() const;
    // What "%@" prints for this value.
    std::string description() const;

    bool operator==(const Value&) const;

private:
    Storage m_storage;
};

// Messages to nil answer nil, 0 or NO; these helpers give every caller that rule.
std::int32_t intValue(const ValuePtr&);
bool boolValue(const ValuePtr&);
std::string description(const ValuePtr&); // "(null)" for nil

// objectForKey: on a dictionary; nil for nil, for another kind or for a missing key.
ValuePtr objectForKey(const ValuePtr& dictionary, std::string_view key);
// objectAtIndex: on an array; nil for nil, for another kind or for an index out of range.
ValuePtr objectAtIndex(const ValuePtr& array, std::size_t index);
// count of an array or dictionary; 0 for nil or another kind.
std::size_t count(const ValuePtr&);

// Text conversions with the frameworks' rules, for callers that hold plain text.
std::int32_t intValueOfText(std::string_view);
bool boolValueOfText(std::string_view);

}
