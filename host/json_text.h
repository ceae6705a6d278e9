#pragma once

#include "ui/alert_view.h"

#include <string>
#include <string_view>

namespace kavrin::host {

// The text as a JSON string literal, quotes included.
std::string jsonString(std::string_view text);

// {"title": text or null, "buttons": [texts in index order], "tag": n}
std::string alertJson(const ui::AlertView&);

}
