#pragma once

#include <weeapp/ui/accessibility/accessibility_reader.h>

#include <string>

namespace kavrin::host {

// What a screen reader says for an element, in the order it says it: the label, the value, what
// the element is (in the language, English when there is no table for it; static text says
// nothing of itself) and the hint, each part a sentence of its own.
std::string spokenText(const weeapp::ui::AccessibilityDescription&, const std::string& language);

}
