#pragma once

#include "result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::host {

// kavrin-host [--root DIR] [--plugin NAME] [--lang CODES] [--seed N] [--script FILE|-] [--out DIR] [--live] [--force] [--create]
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
};

Result<HostOptions> parseHostOptions(const std::vector<std::string>& arguments);

extern const char* const kHostUsage;

}
