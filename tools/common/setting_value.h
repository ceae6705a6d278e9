#pragma once

#include "sys/value.h"

#include <string>
#include <string_view>

namespace kavrin::tooling {

// A settings value typed from its text: "true" and "false" are booleans, a decimal integer is a
// number, a text in double quotes is that text (\" and \\ escaped), anything else is the text.
sys::ValuePtr settingValueFromText(std::string_view text);

// The value written so that settingValueFromText gives it back: texts that would read as
// something else, or that are empty or have outer white space, are quoted.
std::string settingValueText(const sys::Value&);

}
