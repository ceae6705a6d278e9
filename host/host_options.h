#pragma once

#include "command_line.h"
#include "modes/mode_options.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kavrin::host {

// The options every mode shares, and the mode's own.
struct HostOptions {
    std::optional<std::filesystem::path> root;   // absent: the demo phone
    std::optional<std::string> plugin;           // absent: the only bundle, or the first by name that loads
    std::vector<std::filesystem::path> trusted;  // --plugins: folders whose bundles may be loaded
    std::vector<std::string> languages { "en" }; // "AppleLanguages", most preferred first
    std::optional<std::uint64_t> seed;           // absent: truly random
    std::filesystem::path out { "out" };         // where the demo, --live and --window leave their pictures
    bool force { false };                        // set stores any key and value as given, and replaces an unreadable settings file
    bool create { false };                       // set may make the settings file under a root with no private/var/mobile
    std::optional<int> scale;                    // absent: 1 for scripts and the protocol, else 2
    std::string backdrop { "dark" };             // dark, light, none or a wallpaper picture
    std::optional<std::filesystem::path> speech; // where the spoken descriptions go, as one WAV file
    ModeOptions mode;

    template<typename Mode>
    bool is() const { return std::holds_alternative<Mode>(mode); }
    // Commands come in (a script or the protocol), so standard output belongs to what they print.
    bool takesCommands() const { return is<ScriptOptions>() || is<ProtocolOptions>(); }
    // The demo and the gallery change settings from state to state, so they run on a scratch copy
    // of the phone, and make the same pictures at every run.
    bool drawsOnScratch() const { return is<DemoOptions>() || is<GalleryOptions>(); }
    int scaleOr(int fallback) const { return scale.value_or(fallback); }
};

// The command line did not ask for a session: help (every option, every script command with its
// arguments and output, the exit statuses and an example) or the version (status 0, text for
// standard output), or a usage error (status 2, text for standard error).
using OptionsExit = support::CommandLineExit;

std::variant<HostOptions, OptionsExit> parseHostOptions(const std::vector<std::string>& arguments);

}
