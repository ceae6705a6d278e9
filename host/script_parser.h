#pragma once

#include "sys/value.h"

#include <string>
#include <string_view>
#include <variant>

namespace kavrin::host {

enum class CommandWord {
    View, Height, Appear, Disappear, Wait, Tap, TapLocation, Scroll, Press,
    Set, Unset, Notify, Dump, Render, Record, Destroy,
};

// One script line that does something.
struct ScriptCommand {
    CommandWord word { CommandWord::View };
    double x { 0 };          // wait S, tap X Y, tap-location X Y, scroll X, record FILE S
    double y { 0 };
    int index { 0 };         // press I
    std::string key;         // set, unset
    sys::ValuePtr value;     // set
    std::string file;        // render, record
};

struct BlankLine { };
struct ScriptError {
    std::string message;
};

using ParsedLine = std::variant<BlankLine, ScriptCommand, ScriptError>;

// One command a line; "#" outside double quotes starts a comment; blank lines are skipped.
ParsedLine parseScriptLine(std::string_view line);

}
