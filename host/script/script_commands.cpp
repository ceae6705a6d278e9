#include "script/script_commands.h"

#include <algorithm>

namespace kavrin::host {

namespace {

constexpr CommandInfo kCommands[] = {
    { "view", CommandWord::View, Operands::None, Needs::Controller, "", "nothing", "", "",
        "asks the controller for its view and puts it on the screen" },
    { "height", CommandWord::Height, Operands::None, Needs::Controller, "", "nothing", "height N", "\"height\": N",
        "the height the controller asks for, one decimal" },
    { "appear", CommandWord::Appear, Operands::None, Needs::Controller, "", "nothing", "", "",
        "tells the controller its view appeared (starts the metro flips)" },
    { "disappear", CommandWord::Disappear, Operands::None, Needs::Controller, "", "nothing", "", "",
        "tells the controller its view disappeared" },
    { "wait", CommandWord::Wait, Operands::Seconds, Needs::Nothing, "S", "a number of seconds, 0 to 86400", "", "",
        "moves the clock S seconds on, running what falls due (0 to 86400)" },
    { "tap", CommandWord::Tap, Operands::Point, Needs::View, "X Y", "two numbers, X and Y",
        "open URL or alert JSON when it reaches a control that acts, nothing otherwise",
        "\"hit\": {\"class\", \"tag\", \"frame\"} or null", "a finger tap at X Y in the view's coordinates" },
    { "tap-location", CommandWord::TapLocation, Operands::Point, Needs::Controller, "X Y", "two numbers, X and Y",
        "launch URL|none", "\"launch\": URL or null", "the URL the controller would open for a tap at X Y, without tapping" },
    { "scroll", CommandWord::Scroll, Operands::Offset, Needs::View, "X", "one number, the horizontal offset", "", "",
        "drags the scroll view to the horizontal offset X and lets it come to rest" },
    { "page", CommandWord::Page, Operands::PageNumber, Needs::View, "N", "a page number, a whole number 1 or more", "", "",
        "swipes to page N (from 1), ending as a swipe does; a page beyond the last is the last" },
    { "press", CommandWord::Press, Operands::Index, Needs::Nothing, "I", "a button index, a whole number 0 or more",
        "open URL or alert JSON", "", "presses button I of the alert on screen, counted as in its JSON, Cancel at 0" },
    { "set", CommandWord::Set, Operands::KeyAndValue, Needs::Nothing, "KEY VALUE", "a key and a value", "", "",
        "writes a setting without telling anyone (notify does): a key of 'kavrin-prefs keys' with a value of its type, "
        "a boolean as true/false/yes/no/1/0, an integer as digits; with --force any key, VALUE typed from the text "
        "(true/false a boolean, an integer a number, anything else or \"text\" a text)" },
    { "unset", CommandWord::Unset, Operands::Key, Needs::Nothing, "KEY", "one key", "", "",
        "removes a setting without telling anyone (a key that is not there writes nothing)" },
    { "notify", CommandWord::Notify, Operands::None, Needs::Nothing, "", "nothing", "", "",
        "posts the settings-changed notification to every host on the phone" },
    { "dump", CommandWord::Dump, Operands::None, Needs::View, "", "nothing", "dump JSON|null", "\"dump\": JSON or null",
        "the view tree as one line of JSON (null when the controller gave no view)" },
    { "render", CommandWord::Render, Operands::File, Needs::View, "FILE", "a file name", "", "\"file\": FILE",
        "writes a PNG picture of the screen" },
    { "record", CommandWord::Record, Operands::FileAndSeconds, Needs::View, "FILE S",
        "a file name and a number of seconds, more than 0 and at most 600", "", "\"file\": FILE",
        "writes an animated PNG of the next S seconds (at most 600), moving the clock on" },
    { "destroy", CommandWord::Destroy, Operands::None, Needs::Controller, "", "nothing", "", "",
        "destroys the controller; later commands that need it are errors" },
    { "describe", CommandWord::Describe, Operands::Point, Needs::Nothing, "X Y", "two numbers, X and Y",
        "describe JSON|null", "\"describe\": JSON or null",
        "what a screen reader says for the element at X Y in the view's coordinates: {\"label\", \"hint\", \"traits\", "
        "\"value\"}, null over empty space or while an alert covers the widget; with --speak also spoken" },
    { "elements", CommandWord::Elements, Operands::None, Needs::Nothing, "", "nothing", "elements [JSON, ...]",
        "\"elements\": [JSON, ...]",
        "every element a screen reader steps through, in its order: the page in view first, each page left to right "
        "and top to bottom, then the page control, then the buttons of an alert that is up" },
    { "swipe-next", CommandWord::SwipeNext, Operands::None, Needs::View, "", "nothing", "", "",
        "the screen reader's page gesture (three fingers to the left): one page on, as paging does; at the last page "
        "nothing moves" },
    { "swipe-previous", CommandWord::SwipePrevious, Operands::None, Needs::View, "", "nothing", "", "",
        "the page gesture back: one page back; at the first page nothing moves" },
    { "audit", CommandWord::Audit, Operands::None, Needs::View, "", "nothing",
        "audit RULE ELEMENT FIGURE [OTHER] [\"TEXT\"] a finding, then audited N",
        "\"audit\": [{\"rule\", \"element\", \"figure\", \"other\", \"text\"}, ...]",
        "checks the screen for what a user relies on: an interactive element without a label, a touch target under "
        "44x44 points, text below a contrast ratio of 4.5:1 (3:1 at 18 points, or 14 bold) against the pixels drawn "
        "behind it, a name cut with an ellipsis that its element's label does not hold whole, interactive elements "
        "that overlap, reading order against the order elements are seen in; ELEMENT is CLASS#TAG@X,Y,W,H in the "
        "view's coordinates" },
};

}

std::span<const CommandInfo> scriptCommands()
{
    return kCommands;
}

const CommandInfo* findScriptCommand(std::string_view word)
{
    auto found = std::ranges::find(kCommands, word, &CommandInfo::word);
    return found == std::end(kCommands) ? nullptr : &*found;
}

const CommandInfo& commandInfo(CommandWord command)
{
    return *std::ranges::find(kCommands, command, &CommandInfo::command);
}

}
