#include "prefs_command.h"

#include "kavrin/published_names.h"
#include "phone_files.h"
#include "setting_value.h"
#include "settings_change.h"
#include "settings_keys.h"
#include "sys/darwin_notify_center.h"
#include "sys/phone_root.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>

namespace kavrin::tooling {

namespace {

constexpr const char* kUsage =
    "usage: kavrin-prefs [--root DIR] [--xml | --binary] [--no-notify] [--force] [--create] COMMAND\n"
    "  get KEY | set KEY VALUE | unset KEY | list | keys\n"
    "  set takes the keys that keys lists, booleans as true/false/yes/no/1/0 and integers as\n"
    "  digits; --force stores any key, its VALUE typed as true/false a boolean, an integer a number,\n"
    "  anything else (or \"text\") a text, and replaces an unreadable settings file, keeping its\n"
    "  bytes as NAME.broken-TIMESTAMP beside it; --create lets set make the phone's folders under a\n"
    "  root that has no private/var/mobile\n"
    "  exit status: 0 done; 1 get of a key that is neither set nor read by the widget, get or list of\n"
    "  an unreadable settings file, or a failure to write; 2 a usage error, a missing root, a refused\n"
    "  key or value, a settings file that would be replaced or a settings lock held too long\n";

struct PrefsOptions {
    std::filesystem::path root { defaultDemoPhoneRoot() };
    std::optional<sys::PropertyListFormat> format;
    bool notify { true };
    bool force { false };
    bool create { false };
    std::vector<std::string> command;
};

std::optional<PrefsOptions> parseOptions(const std::vector<std::string>& arguments)
{
    PrefsOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!options.command.empty())
            options.command.push_back(argument);
        else if (argument == "--root" && i + 1 < arguments.size() && !arguments[i + 1].empty())
            options.root = arguments[++i];
        else if (argument == "--xml")
            options.format = sys::PropertyListFormat::Xml;
        else if (argument == "--binary")
            options.format = sys::PropertyListFormat::Binary;
        else if (argument == "--no-notify")
            options.notify = false;
        else if (argument == "--force")
            options.force = true;
        else if (argument == "--create")
            options.create = true;
        else if (argument.starts_with("--"))
            return std::nullopt;
        else
            options.command.push_back(argument);
    }
    if (options.command.empty())
        return std::nullopt;
    const std::string& verb = options.command.front();
    std::size_t operands = options.command.size() - 1;
    bool valid = (verb == "get" && operands == 1) || (verb == "set" && operands == 2)
        || (verb == "unset" && operands == 1) || (verb == "list" && operands == 0) || (verb == "keys" && operands == 0);
    if (!valid)
        return std::nullopt;
    return options;
}

void printKeys(std::ostream& out)
{
    std::size_t width = 0;
    for (const SettingKey& key : settingKeys())
        width = std::max(width, key.name.size());
    for (const SettingKey& key : settingKeys()) {
        std::string name(key.name);
        name.resize(width + 2, ' ');
        std::string type(settingTypeName(key.type));
        type.resize(9, ' ');
        std::string fallback = settingValueText(*settingDefault(key));
        fallback.resize(7, ' ');
        out << name << type << "default " << fallback << key.effect << '\n';
    }
}

int readSettings(const PrefsOptions& options, std::ostream& out, std::ostream& err)
{
    SettingsEditor settings = SettingsEditor::load(settingsFilePath());
    if (!settings.editable()) {
        err << "kavrin-prefs: " << settings.problem() << '\n';
        return 1;
    }
    const std::vector<std::string>& command = options.command;
    if (command.front() == "list") {
        for (const auto& [key, value] : settings.values())
            out << settingKeyText(key) << ' ' << (value ? settingValueText(*value) : std::string()) << '\n';
        return 0;
    }
    if (sys::ValuePtr value = settings.value(command[1])) {
        out << settingValueText(*value) << '\n';
        return 0;
    }
    if (const SettingKey* key = findSettingKey(command[1])) {
        out << settingValueText(*settingDefault(*key)) << " (not set: the default)\n";
        return 0;
    }
    err << "kavrin-prefs: " << settingKeyText(command[1]) << " is not set, and the widget does not read it\n";
    return 1;
}

// set and unset: 0 when done, else the exit status; changed tells whether the file was written.
int changeSettings(const PrefsOptions& options, bool& changed, std::ostream& err)
{
    const std::vector<std::string>& command = options.command;
    const std::string& key = command[1];
    changed = false;
    sys::ValuePtr value;
    if (command.front() == "set") {
        CheckedSetting checked = checkSettingValue(key, command[2], options.force);
        if (!checked.value) {
            err << "kavrin-prefs: " << checked.refusal << " (--force stores it as given)\n";
            return 2;
        }
        value = checked.value;
    } else if (settingIsAbsent(key)) {
        // Removing a key that is not there changes nothing: nothing is made, written or posted.
        return 0;
    }
    SettingsChange result = changeSettingsFile(
        [&](SettingsEditor& settings) {
            if (options.format)
                settings.setFormat(*options.format);
            if (!value)
                return settings.unset(key);
            settings.set(key, value);
            return true;
        },
        options.force);
    if (!result.keptCopy.empty())
        err << "kavrin-prefs: kept the unreadable settings file's bytes in " << result.keptCopy << '\n';
    switch (result.outcome) {
    case SettingsChange::Outcome::Written:
        changed = true;
        return 0;
    case SettingsChange::Outcome::Unchanged:
        return 0;
    case SettingsChange::Outcome::Refused:
        err << "kavrin-prefs: " << result.message << '\n';
        return 2;
    case SettingsChange::Outcome::Failed:
        break;
    }
    err << "kavrin-prefs: " << result.message << '\n';
    return 1;
}

}

int runPrefsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::optional<PrefsOptions> options = parseOptions(arguments);
    if (!options) {
        err << kUsage;
        return 2;
    }
    const std::string& verb = options->command.front();
    if (verb == "keys") {
        printKeys(out);
        return 0;
    }
    // A mistyped root must not grow a phone of its own.
    std::error_code ignored;
    if (!std::filesystem::is_directory(options->root, ignored)) {
        err << "kavrin-prefs: no phone root at " << options->root.string() << '\n';
        return 2;
    }
    sys::setPhoneRoot(options->root);
    if (verb == "get" || verb == "list")
        return readSettings(*options, out, err);

    if (!options->create && !looksLikePhoneRoot(options->root)) {
        err << "kavrin-prefs: " << options->root.string() << " does not look like a phone root (it has no "
            << std::filesystem::path(kPhoneUserFolder).relative_path().string() << "); --create makes the settings file there\n";
        return 2;
    }
    bool changed = false;
    if (int status = changeSettings(*options, changed, err); status != 0 || !changed)
        return status;
    if (options->notify) {
        if (!startSystemNotifications())
            err << "kavrin-prefs: cannot reach the notification folder; the change is not announced\n";
        else
            sys::DarwinNotifyCenter::shared().postNotification(kPreferencesChanged);
    }
    return 0;
}

}
