// kavrin-demo-phone ROOT [--bundle DIR]: writes a complete demo phone into ROOT.

#include "command_line.h"
#include "demo_phone.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#ifndef KAVRIN_VERSION
#error "KAVRIN_VERSION comes from the project's version"
#endif

int main(int argc, char** argv)
{
    std::string root, bundle = kavrin::tooling::builtBundleFolder().string();
    CLI::App app("kavrin-demo-phone: writes a complete demo phone (favorites, address-book databases with thumbnails, "
                 "settings and a link to the widget's bundle) into ROOT.",
        "kavrin-demo-phone");
    app.set_version_flag("--version", "kavrin-demo-phone " KAVRIN_VERSION);
    auto nonEmpty = CLI::Validator([](std::string& value) { return value.empty() ? std::string("needs a folder") : std::string(); }, "", "");
    app.add_option("ROOT", root, "the folder to write the phone into")->option_text(" ")->required()->check(nonEmpty);
    app.add_option("--bundle", bundle, "the widget's bundle to link to (default: the built one)")->option_text("DIR")->check(nonEmpty);
    app.footer("\nExit status: 0 written; 1 the phone could not be written; 2 a usage error.\n"
               "\nExample:\n  kavrin-demo-phone /tmp/phone\n");
    app.get_formatter()->label("Usage", "usage");
    const auto usageError = [](const CLI::ParseError& error) {
        return std::string("kavrin-demo-phone: ") + error.what() + "\nusage: kavrin-demo-phone ROOT [--bundle DIR]\n";
    };
    if (const auto exit = kavrin::support::parseCommandLine(app, std::vector<std::string>(argv + 1, argv + argc), usageError)) {
        std::fputs(exit->text.c_str(), exit->status == 0 ? stdout : stderr);
        return exit->status;
    }
    std::string error;
    if (!kavrin::tooling::writeDemoPhone(root, bundle, error)) {
        std::fprintf(stderr, "kavrin-demo-phone: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote a demo phone in %s\n", root.c_str());
    return 0;
}
