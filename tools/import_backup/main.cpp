// kavrin-import-backup BACKUP ROOT: makes a phone root from the widget's files in a phone's local
// backup, so that the host shows the user's own favorites, photos and settings.

#include "backup/backup_import.h"
#include "command_line.h"
#include "demo_phone.h"
#include "error_reporter.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr kavrin::support::ErrorReporter kErrors { "kavrin-import-backup" };

// A refusal of the backup or of ROOT; a failure to write ROOT is 1.
constexpr int kRefused = 2;

std::string joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

void printSummary(const kavrin::phone_files::ImportSummary& summary, const std::string& root)
{
    std::printf("%s the backup of %s%s into %s\n", summary.replacedEarlierImport ? "replaced the earlier import with" : "imported",
        summary.deviceName.empty() ? "a phone" : ("\"" + summary.deviceName + "\"").c_str(),
        summary.date.empty() ? "" : (" made " + summary.date + " UTC").c_str(), root.c_str());
    if (summary.noPhotos.empty())
        std::printf("favorites: %zu, %zu with a photo\n", summary.favorites, summary.withPhoto);
    else
        std::printf("favorites: %zu, shown without photos: %s\n", summary.favorites, summary.noPhotos.c_str());
    std::printf("settings: %s\n", summary.settings.empty() ? "defaults" : joined(summary.settings, ", ").c_str());
}

}

#ifndef KAVRIN_VERSION
#error "KAVRIN_VERSION comes from the project's version"
#endif

int main(int argc, char** argv)
{
    std::string backup, root, bundle = kavrin::phone_files::builtBundleFolder().string();
    CLI::App app(
        "kavrin-import-backup: makes a phone root in ROOT from the phone's unencrypted local backup in BACKUP: its "
        "favorites, both address-book databases and the widget's settings, with a link to the widget's bundle.",
        "kavrin-import-backup");
    app.set_version_flag("--version", "kavrin-import-backup " KAVRIN_VERSION);
    auto nonEmpty = CLI::Validator([](std::string& value) { return value.empty() ? std::string("needs a folder") : std::string(); }, "", "");
    app.add_option("BACKUP", backup, "the backup's folder (the one that holds Manifest.db or Manifest.mbdb)")->option_text(" ")->required()->check(nonEmpty);
    app.add_option("ROOT", root, "the folder to make the phone root in: new, empty, or an earlier import")->option_text(" ")->required()->check(nonEmpty);
    app.add_option("--bundle", bundle, "the widget's bundle to link to (default: the built one)")->option_text("DIR")->check(nonEmpty);
    app.footer(
        "\nNothing is written into the backup and nothing leaves the machine. ROOT holds personal data: it\n"
        "is made readable by its owner only (folders 0700, files 0600). An encrypted or unfinished\n"
        "backup, a folder that is no backup, or a listed file that is missing or cut short is refused,\n"
        "and ROOT is left as it was. A backup without an address book gives favorites without photos.\n"
        "\nExit status: 0 imported; 1 ROOT could not be written; 2 a refusal or a usage error.\n"
        "\nExamples:\n  kavrin-import-backup backup my-phone\n  kavrin-host --root my-phone --window\n");
    app.get_formatter()->label("Usage", "usage");
    const auto usageError = [](const CLI::ParseError& error) {
        return kErrors.line(error.what()) + "usage: kavrin-import-backup BACKUP ROOT [--bundle DIR]\n";
    };
    if (const auto exit = kavrin::support::parseCommandLine(app, std::vector<std::string>(argv + 1, argv + argc), usageError)) {
        std::fputs(exit->text.c_str(), exit->status == 0 ? stdout : stderr);
        return exit->status;
    }

    using namespace kavrin::phone_files;
    const kavrin::Result<ImportPlan> plan = planImport(BackupFolder(backup));
    if (!plan) {
        kErrors.report(std::cerr, plan.error());
        return kRefused;
    }
    kavrin::Result<ImportRoot> target = ImportRoot::prepare(root);
    if (!target) {
        kErrors.report(std::cerr, target.error());
        return kRefused;
    }
    const kavrin::Result<ImportSummary> summary = carryOutImport(*plan, *target, bundle);
    if (!summary) {
        kErrors.report(std::cerr, summary.error());
        return 1;
    }
    printSummary(*summary, root);
    return 0;
}
