#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kavrin::host {

// kavrin-host [--root DIR] [--lang CODES] [--seed N] [--script FILE|-] [--out DIR] [--live]
struct HostOptions {
    std::optional<std::filesystem::path> root;      // absent: the demo phone
    std::vector<std::string> languages { "en" };     // "AppleLanguages", most preferred first
    std::optional<std::uint64_t> seed;              // absent: truly random
    std::optional<std::string> script;              // "-" for standard input
    std::filesystem::path out { "out" };            // where the demo leaves its pictures
    bool live { false };                            // show the widget on the real clock until stopped
};

struct OptionsError {
    std::string message;
};

std::variant<HostOptions, OptionsError> parseHostOptions(const std::vector<std::string>& arguments);

extern const char* const kHostUsage;

}
