#pragma once

#include "result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

// kavrin-host [--root DIR] [--plugin NAME] [--lang CODES] [--seed N] [--script FILE|-] [--speak FILE.wav] [--out DIR] [--live]
//             [--force] [--create] [--window] [--watch] [--scale 1|2|3] [--backdrop dark|light|none|FILE]
struct HostOptions {
    std::optional<std::filesystem::path> root;      // absent: the demo phone
    std::optional<std::string> plugin;              // absent: the only bundle, or the first by name that loads
    std::vector<std::string> languages { "en" };     // "AppleLanguages", most preferred first
    std::optional<std::uint64_t> seed;              // absent: truly random
    std::optional<std::string> script;              // "-" for standard input
    std::filesystem::path out { "out" };            // where the demo leaves its pictures
    bool live { false };                            // show the widget on the real clock until stopped
    bool force { false };                           // set stores any key and value as given, and replaces an unreadable settings file
    bool create { false };                          // set may make the settings file under a root with no private/var/mobile
    bool window { false };                          // show the widget in a desktop window
    bool watch { false };                           // the window reloads when the phone's lists change
    std::optional<int> scale;                       // absent: 1 for scripts, else 2
    std::optional<std::filesystem::path> speech;    // where the spoken describes go
    std::string backdrop { "dark" };                // dark, light, none or a wallpaper picture

    int scaleOr(int fallback) const { return scale.value_or(fallback); }
};

Result<HostOptions> parseHostOptions(const std::vector<std::string>& arguments);

extern const char* const kHostUsage;

}
