#pragma once

#include <span>
#include <string_view>

namespace kavrin::host {

enum class CommandWord {
    View,
    Height,
    Appear,
    Disappear,
    Wait,
    Tap,
    TapLocation,
    Scroll,
    Press,
    Set,
    Unset,
    Notify,
    Dump,
    Render,
    Record,
    Destroy,
    Page,
    Describe,
    Elements,
    SwipeNext,
    SwipePrevious,
    Audit,
};

// How a command's operands are read from the rest of its line.
enum class Operands {
    None,           // nothing
    Seconds,        // one number, 0 to kLongestWait
    Point,          // two coordinates, X and Y
    Offset,         // one coordinate
    Index,          // one whole number, 0 or more
    PageNumber,     // one whole number, 1 or more
    KeyAndValue,    // a key, then the rest of the line as its value
    Key,            // one key
    File,           // the rest of the line as a file name
    FileAndSeconds, // a file name, then a number of seconds, more than 0 and at most kLongestRecording
};

// What must be there for the command to act: a controller (not yet destroyed), or also the view
// that `view` put on screen.
enum class Needs { Nothing,
    Controller,
    View };

// One row of the script language: the parser, the help text and the protocol's documentation
// all follow this table. Adding a command is adding a row (and carrying it out in the runner).
struct CommandInfo {
    std::string_view word;
    CommandWord command;
    Operands operands;
    Needs needs;
    std::string_view arguments; // as the help shows them, "X Y"
    std::string_view expected;  // what a bad line was expected to give, "two numbers, X and Y"
    std::string_view prints;    // the plain mode's output lines, "" for none
    std::string_view answer;    // the members a JSON answer adds to "ok", "" for none
    std::string_view help;
};

// The longest wait a line may ask for, a day: a longer one with flips running would keep the
// host busy for good.
inline constexpr double kLongestWait = 86400;
inline constexpr double kLongestRecording = 600;

std::span<const CommandInfo> scriptCommands();
// nullptr for a word that is no command.
const CommandInfo* findScriptCommand(std::string_view word);
const CommandInfo& commandInfo(CommandWord);

}
