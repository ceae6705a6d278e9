#pragma once

#include "command_line.h"
#include "error_reporter.h"

#include <weeapp/sys/plist/property_list.h>

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kavrin::prefs {

// How kavrin-prefs says what went wrong.
inline constexpr support::ErrorReporter kPrefsErrors { "kavrin-prefs" };

enum class PrefsVerb { Get,
    Set,
    Unset,
    List,
    Keys };

// kavrin-prefs [--root DIR] [--xml | --binary] [--no-notify] [--force] [--create]
//              get KEY | set KEY VALUE | unset KEY | list | keys
struct PrefsOptions {
    std::filesystem::path root;                            // the demo phone when not given
    std::optional<weeapp::sys::PropertyListFormat> format; // absent: the file's own, XML for a new file
    bool notify { true };
    bool force { false };  // set stores any key and value as given; an unreadable file is replaced
    bool create { false }; // set and unset may make the phone's folders under a root without them
    PrefsVerb verb { PrefsVerb::List };
    std::string key;
    std::string value; // set's, as typed
};

// Help or the version (status 0, text for standard output), or a usage error (status 2, text
// for standard error).
using PrefsExit = support::CommandLineExit;

std::variant<PrefsOptions, PrefsExit> parsePrefsOptions(const std::vector<std::string>& arguments);

// The settings table as keys prints it (and --help shows it): one line a key with its type,
// default and effect.
std::string settingsKeysTable();

}
