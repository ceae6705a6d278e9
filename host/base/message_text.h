#pragma once

#include <string>
#include <string_view>

namespace kavrin::host {

// Text from a script made safe to quote in a message on one line: control bytes, bytes that are
// not UTF-8, backslashes and double quotes are written as escapes (\n, \t, \x01, \\, \").
std::string escapedForMessage(std::string_view);

// Script text quoted in a message: escaped as above and, past 200 bytes, cut at a character's
// end and followed by "... (N bytes in all)", so that a huge bad line makes a short message.
std::string quotedScriptText(std::string_view);

}
