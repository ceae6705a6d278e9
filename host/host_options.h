#pragma once

#include "command_line.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kavrin::host {

enum class Protocol { Plain,
    Json };

// kavrin-host --help lists them all; see host_options.cpp.
struct HostOptions {
    std::optional<std::filesystem::path> root;    // absent: the demo phone
    std::optional<std::string> plugin;            // absent: the only bundle, or the first by name that loads
    std::vector<std::filesystem::path> trusted;   // --plugins: folders whose bundles may be loaded
    std::vector<std::string> languages { "en" };  // "AppleLanguages", most preferred first
    std::optional<std::uint64_t> seed;            // absent: truly random
    std::optional<std::string> script;            // "-" for standard input
    bool check { false };                         // only check the script
    std::optional<Protocol> protocol;             // answer commands from standard input as they come
    std::filesystem::path out { "out" };          // where the demo leaves its pictures
    std::optional<std::filesystem::path> gallery; // a picture of every state, a contact sheet and index.html
    bool live { false };                          // show the widget on the real clock until stopped
    bool force { false };                         // set stores any key and value as given, and replaces an unreadable settings file
    bool create { false };                        // set may make the settings file under a root with no private/var/mobile
    bool window { false };                        // show the widget in a desktop window
    bool watch { false };                         // the window reloads when the phone's lists change
    bool paused { false };
    std::optional<std::filesystem::path> against; // --gallery: the earlier gallery to compare with
    double tolerance { 0 };                       // the share of a picture's pixels that may change                        // the window opens with its clock stopped
    std::optional<int> scale;                     // absent: 1 for scripts and the protocol, else 2
    std::string backdrop { "dark" };              // dark, light, none or a wallpaper picture
    std::optional<std::filesystem::path> speech;  // where the spoken descriptions go, as one WAV file
    bool audit { false };                         // with --gallery: audit every state

    // Commands come in (a script or the protocol), so standard output belongs to what they print.
    bool takesCommands() const { return script || protocol; }
    int scaleOr(int fallback) const { return scale.value_or(fallback); }
};

// The command line did not ask for a session: help (every option, every script command with its
// arguments and output, the exit statuses and an example) or the version (status 0, text for
// standard output), or a usage error (status 2, text for standard error).
using OptionsExit = support::CommandLineExit;

std::variant<HostOptions, OptionsExit> parseHostOptions(const std::vector<std::string>& arguments);

}
