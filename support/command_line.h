#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class ParseError;
}

namespace kavrin::support {

// Where a command line ends when it asks for no work: help or the version (status 0, text for
// standard output), or a usage error (status 2, text for standard error).
struct CommandLineExit {
    int status { 0 };
    std::string text;
};

// Parses the arguments (the program's name left out) into the app's options. Nothing when the
// program is to go on; help, the version or usageError's text for a parse error otherwise.
std::optional<CommandLineExit> parseCommandLine(CLI::App&, const std::vector<std::string>& arguments,
    const std::function<std::string(const CLI::ParseError&)>& usageError);

}
