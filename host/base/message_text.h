#pragma once

#include <string>
#include <string_view>

namespace kavrin::host {

// Text from a script made safe to quote in a message on one line: control bytes, bytes that are
// not UTF-8, backslashes and double quotes are written as escapes (\n, \t, \x01, \\, \").
std::string escapedForMessage(std::string_view);

}
