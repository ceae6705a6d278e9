#include "command_line.h"

#include <CLI/CLI.hpp>

namespace kavrin::support {

std::optional<CommandLineExit> parseCommandLine(CLI::App& app, const std::vector<std::string>& arguments,
    const std::function<std::string(const CLI::ParseError&)>& usageError)
{
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return CommandLineExit { 0, app.help() };
    } catch (const CLI::CallForVersion& version) {
        return CommandLineExit { 0, std::string(version.what()) + "\n" };
    } catch (const CLI::ParseError& error) {
        return CommandLineExit { 2, usageError(error) };
    }
    return std::nullopt;
}

}
