// kavrin-demo-phone ROOT [--bundle DIR] [--force]: writes a complete demo phone into ROOT, or
// completes the phone that is there without replacing any of it.

#include "command_line.h"
#include "demo_phone.h"
#include "error_reporter.h"

#include <CLI/CLI.hpp>
#include <weeapp/platform_state.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr kavrin::support::ErrorReporter kErrors { "kavrin-demo-phone" };

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and "
                                                     : ", ")
            + parts[i];
    return text;
}

}

#ifndef KAVRIN_VERSION
#error "KAVRIN_VERSION comes from the project's version"
#endif

int main(int argc, char** argv)
{
    weeapp::PlatformState platform;
    std::string root, bundle = kavrin::phone_files::builtBundleFolder().string();
    bool force = false;
    CLI::App app(
        "kavrin-demo-phone: writes a complete demo phone (favorites, address-book databases with thumbnails, "
        "settings and a link to the widget's bundle) into ROOT.",
        "kavrin-demo-phone");
    app.set_version_flag("--version", "kavrin-demo-phone " KAVRIN_VERSION);
    auto nonEmpty = CLI::Validator([](std::string& value) { return value.empty() ? std::string("needs a folder") : std::string(); }, "", "");
    app.add_option("ROOT", root, "the folder to write the phone into")->option_text(" ")->required()->check(nonEmpty);
    app.add_option("--bundle", bundle, "the widget's bundle to link to (default: the built one)")->option_text("DIR")->check(nonEmpty);
    app.add_flag("--force", force, "replaces the settings, favorites and address books of a phone that is there");
    app.footer(
        "\nOver a phone that is there, only what is missing is written: its settings file, favorites and\n"
        "address books are kept (--force replaces them), and a bundle link that leads elsewhere or\n"
        "nowhere, as in a copied phone, is pointed at the bundle.\n"
        "\nExit status: 0 written; 1 the phone could not be written; 2 a usage error.\n"
        "\nExamples:\n  kavrin-demo-phone /tmp/phone\n  kavrin-demo-phone --bundle build/Kavrin.bundle copied-phone\n");
    app.get_formatter()->label("Usage", "usage");
    const auto usageError = [](const CLI::ParseError& error) {
        return kErrors.line(error.what()) + "usage: kavrin-demo-phone ROOT [--bundle DIR] [--force]\n";
    };
    if (const auto exit = kavrin::support::parseCommandLine(app, std::vector<std::string>(argv + 1, argv + argc), usageError)) {
        std::fputs(exit->text.c_str(), exit->status == 0 ? stdout : stderr);
        return exit->status;
    }
    if (force) {
        if (auto written = kavrin::phone_files::writeDemoPhone(root, bundle); !written) {
            kErrors.report(std::cerr, written.error());
            return 1;
        }
        std::printf("wrote a demo phone in %s, replacing what was there\n", root.c_str());
        return 0;
    }
    auto completion = kavrin::phone_files::completeDemoPhone(root, bundle);
    if (!completion) {
        kErrors.report(std::cerr, completion.error());
        return 1;
    }
    if (completion->kept.empty())
        std::printf("wrote a demo phone in %s\n", root.c_str());
    else if (completion->written.empty())
        std::printf("%s holds a phone already; kept %s (--force replaces them)\n", root.c_str(), joined(completion->kept).c_str());
    else
        std::printf("completed the phone in %s: wrote %s; kept %s\n", root.c_str(), joined(completion->written).c_str(), joined(completion->kept).c_str());
    return 0;
}
