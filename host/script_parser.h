#pragma once

#include "result.h"
#include "sys/value.h"

#include <optional>
#include <string>
#include <string_view>

namespace kavrin::host {

enum class CommandWord {
    View, Height, Appear, Disappear, Wait, Tap, TapLocation, Scroll, Press,
    Set, Unset, Notify, Dump, Render, Record, Destroy, Page,
    Describe, Elements, SwipeNext, SwipePrevious,
};

// One script line that does something.
struct ScriptCommand {
    CommandWord word { CommandWord::View };
    double x { 0 };          // wait S, tap X Y, tap-location X Y, describe X Y, scroll X, record FILE S
    double y { 0 };
    int index { 0 };         // press I, page N
    std::string key;         // set, unset
    sys::ValuePtr value;     // set
    std::string file;        // render, record
};

// A command, nothing for a blank line, or what is wrong with the line.
using ParsedLine = Result<std::optional<ScriptCommand>>;

// The longest wait a line may ask for, a day: a longer one with flips running would keep the
// host busy for good.
inline constexpr double kLongestWait = 86400;

// One command a line; "#" outside double quotes starts a comment; blank lines are skipped. The
// numbers of tap, tap-location and scroll must lie within float range. set takes a key of the
// settings table with a value of its type, or, settingsAsGiven, any key with its value typed
// from the text.
ParsedLine parseScriptLine(std::string_view line, bool settingsAsGiven = false);

}
