#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace weeapp::ui {

using Json = nlohmann::ordered_json;

// One line of JSON text for the value, in the style of the view dump: ", " and ": " between
// items, members in the order they were added. A real number is written as the shortest text
// that reads back as the same 32-bit float (every number the views hold is one), -0 as 0, and
// null when not finite. A text's bytes that are not UTF-8 become \ufffd, each; control
// characters and DEL are escaped.
std::string jsonText(const Json&);

}
