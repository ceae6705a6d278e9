#pragma once

#include <weeapp/sys/value.h>

#include <string>
#include <string_view>

namespace kavrin::phone_files {

// A settings value typed from its text: "true" and "false" are booleans, a decimal integer is a
// number (up to 2^64-1), a text in double quotes is that text (with \" \\ \n \r \t and \xHH escapes), anything
// else is the text.
weeapp::sys::ValuePtr settingValueFromText(std::string_view text);

// The value as one line of text. Booleans, integers and texts are written so that
// settingValueFromText gives them back (texts that would read as something else, that are empty,
// have outer white space or hold control characters are quoted, their control characters
// escaped). The kinds that set cannot make are written so
// that they stay apart from those: a real as the shortest decimal that reads back as the same
// double, always with a point or an exponent (3.0, 0.1, 1e+300); data as <hex>; a date in
// ISO 8601 in UTC ("1869-03-01T12:00:00Z", "2020-01-02T03:04:05.25Z"); a UID as UID(7); an array as [a, b] and a dictionary as {"key": value}, with
// every text inside them quoted.
std::string settingValueText(const weeapp::sys::Value&);

// A key as list prints it before its value: as it is, or quoted and escaped as a text is when it
// is empty, starts with a double quote or holds white space or control characters.
std::string settingKeyText(std::string_view key);

}
