#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

namespace kavrin::host {

// Each mode's own options, as kavrin-host's command line gives them (host_options.h).

// --script FILE: runs a checked script on the manual clock.
struct ScriptOptions {
    std::string file;     // "-" for standard input
    bool check { false }; // only check the script
};
// --protocol json: answers commands from standard input as they come.
struct ProtocolOptions { };
// Without a mode's option: the demo's pictures on a scratch copy of the phone.
struct DemoOptions { };
// --live: the widget on the real clock until stopped.
struct LiveOptions {
    bool watch { false }; // reload when the phone's lists or the plug-in change
};
// --window: the widget in a desktop window.
struct WindowOptions {
    bool watch { false };  // reload when the phone's lists or the plug-in change
    bool paused { false }; // the window opens with its clock stopped
};
// --gallery DIR: a picture of every state, a contact sheet and index.html.
struct GalleryOptions {
    std::filesystem::path folder;
    std::optional<std::filesystem::path> against; // the earlier gallery to compare with
    double tolerance { 0 };                       // the share of a picture's pixels that may change
    bool audit { false };                         // audit every state
};
using ModeOptions = std::variant<DemoOptions, ScriptOptions, ProtocolOptions, LiveOptions, WindowOptions, GalleryOptions>;

}
