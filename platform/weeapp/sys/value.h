#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace weeapp::sys {

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
    double secondsSinceReferenceDate { 0 }; // 2001-01-01 00:00:00 UTC, of any year the formats hold
    bool operator==(const Date&) const = default;
};

// A keyed archive's reference to one of its objects: a kind of its own, never a dictionary.
struct Uid {
    std::uint64_t value { 0 };
    bool operator==(const Uid&) const = default;
};

class Value {
public:
    // An integer is an std::int64_t unless it is 2^63 or more, which the formats keep as
    // unsigned: only those are an std::uint64_t (Value::unsignedInteger keeps to that).
    using Storage = std::variant<bool, std::int64_t, std::uint64_t, double, std::string, Data, Date, Uid, Array, Dictionary>;

    explicit Value(Storage storage)
        : m_storage(std::move(storage)) { }
    template<typename Kind, typename... Arguments>
    explicit Value(std::in_place_type_t<Kind> kind, Arguments&&... arguments)
        : m_storage(kind, std::forward<Arguments>(arguments)...)
    {
    }

    static ValuePtr boolean(bool);
    static ValuePtr integer(std::int64_t);
    static ValuePtr unsignedInteger(std::uint64_t);
    static ValuePtr real(double);
    static ValuePtr string(std::string);
    static ValuePtr data(std::vector<std::uint8_t>);
    static ValuePtr date(double secondsSinceReferenceDate);
    static ValuePtr uid(std::uint64_t);
    static ValuePtr array(Array);
    static ValuePtr dictionary(Dictionary);

    bool isBoolean() const { return std::holds_alternative<bool>(m_storage); }
    bool isNumber() const; // integer, real or boolean
    bool isInteger() const { return std::holds_alternative<std::int64_t>(m_storage) || std::holds_alternative<std::uint64_t>(m_storage); }
    bool isString() const { return std::holds_alternative<std::string>(m_storage); }
    bool isData() const { return std::holds_alternative<Data>(m_storage); }
    bool isDate() const { return std::holds_alternative<Date>(m_storage); }
    bool isUid() const { return std::holds_alternative<Uid>(m_storage); }
    bool isArray() const { return std::holds_alternative<Array>(m_storage); }
    bool isDictionary() const { return std::holds_alternative<Dictionary>(m_storage); }

    // nullptr unless the value is of that kind.
    const std::string* asString() const { return std::get_if<std::string>(&m_storage); }
    const Data* asData() const { return std::get_if<Data>(&m_storage); }
    const Date* asDate() const { return std::get_if<Date>(&m_storage); }
    const Uid* asUid() const { return std::get_if<Uid>(&m_storage); }
    const Array* asArray() const { return std::get_if<Array>(&m_storage); }
    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&m_storage); }

    const Storage& storage() const { return m_storage; }

    // Integer conversion as the frameworks make it:
    //   text     its leading decimal number, clamped to 32 bits ("99999999999" gives 2147483647)
    //   integer  its low 32 bits in two's complement (2^32+3 gives 3, Int64.max -1, Int64.min 0)
    //   real     truncated toward zero; beyond the 32-bit range it saturates (1e20 gives
    //            2147483647, -1e20 gives -2147483648), as the phone's processor converts, and
    //            NaN gives 0
    //   boolean  1 or 0
    //   others   0
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

// A date in ISO 8601 in UTC: "1869-03-01T12:00:00Z", with the fraction of a second to the
// microsecond when it has one ("2020-01-02T03:04:05.25Z"), a sign and more digits for a year
// beyond 0 to 9999.
std::string isoDateText(const Date&);

// Text conversions with the frameworks' rules, for callers that hold plain text.
std::int32_t intValueOfText(std::string_view);
bool boolValueOfText(std::string_view);

}
