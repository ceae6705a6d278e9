#pragma once

#include "result.h"
#include "script/script_commands.h"
#include <weeapp/sys/value.h>

#include <optional>
#include <string>
#include <string_view>

namespace kavrin::host {

// One script line that does something.
struct ScriptCommand {
    CommandWord word { CommandWord::View };
    double x { 0 }; // Seconds, Point, Offset and FileAndSeconds operands
    double y { 0 };
    int index { 0 };             // an Index or PageNumber operand
    std::string key;             // KeyAndValue, Key
    weeapp::sys::ValuePtr value; // KeyAndValue
    std::string file;            // File, FileAndSeconds
};

// A command, nothing for a blank line, or what is wrong with the line.
using ParsedLine = Result<std::optional<ScriptCommand>>;

// One command a line, as the command table describes it; "#" outside double quotes starts a
// comment; blank lines are skipped. The numbers of tap, tap-location and scroll must lie within
// float range. set takes a key of the settings table with a value of its type, or,
// settingsAsGiven, any key with its value typed from the text.
ParsedLine parseScriptLine(std::string_view line, bool settingsAsGiven = false);

}
