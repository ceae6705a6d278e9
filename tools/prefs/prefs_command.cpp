#include "prefs_command.h"

#include "kavrin/published_names.h"
#include "phone_files.h"
#include "setting_value.h"
#include "settings_editor.h"
#include "settings_lock.h"
#include "sys/darwin_notify_center.h"
#include "sys/phone_root.h"

#include <filesystem>
#include <optional>
#include <ostream>

namespace kavrin::tooling {

namespace {

constexpr const char* kUsage =
    "usage: kavrin-prefs [--root DIR] [--xml | --binary] [--no-notify] COMMAND\n"
    "  get KEY | set KEY VALUE | unset KEY | list\n"
    "  VALUE: true/false a boolean, an integer a number, anything else (or \"text\") a text;\n"
    "  get and list also print reals, data, dates, arrays and dictionaries, which set cannot make\n"
    "  exit status: 0 done, 1 get of a missing key or a failure, 2 a usage error or a missing root\n";

struct PrefsOptions {
    std::filesystem::path root { defaultDemoPhoneRoot() };
    std::optional<sys::PropertyListFormat> format;
    bool notify { true };
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
        || (verb == "unset" && operands == 1) || (verb == "list" && operands == 0);
    if (!valid)
        return std::nullopt;
    return options;
}

}

int runPrefsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::optional<PrefsOptions> options = parseOptions(arguments);
    if (!options) {
        err << kUsage;
        return 2;
    }
    // A mistyped root must not grow a phone of its own.
    std::error_code ignored;
    if (!std::filesystem::is_directory(options->root, ignored)) {
        err << "kavrin-prefs: no phone root at " << options->root.string() << '\n';
        return 2;
    }
    sys::setPhoneRoot(options->root);
    std::string path = settingsFilePath();
    const std::vector<std::string>& command = options->command;
    const std::string& verb = command.front();

    if (verb == "get" || verb == "list") {
        SettingsEditor settings = SettingsEditor::load(path);
        if (verb == "list") {
            for (const auto& [key, value] : settings.values())
                out << key << ' ' << (value ? settingValueText(*value) : std::string()) << '\n';
            return 0;
        }
        sys::ValuePtr value = settings.value(command[1]);
        if (!value)
            return 1;
        out << settingValueText(*value) << '\n';
        return 0;
    }

    {
        SettingsLock lock;
        if (!lock.held())
            err << "kavrin-prefs: cannot lock the settings; a change made at the same time may be lost\n";
        SettingsEditor settings = SettingsEditor::load(path);
        if (settings.wasNotAFile()) {
            err << "kavrin-prefs: " << settingsWriteFailure(path) << '\n';
            return 1;
        }
        bool changed = true;
        if (verb == "set")
            settings.set(command[1], settingValueFromText(command[2]));
        else
            changed = settings.unset(command[1]);
        // Removing a key that is not there changes nothing: no file is written, nothing posted.
        if (!changed)
            return 0;
        if (settings.wasUnreadable())
            err << "kavrin-prefs: " << path << " was not a readable settings file; starting afresh\n";
        if (options->format)
            settings.setFormat(*options->format);
        if (!settings.save(path)) {
            err << "kavrin-prefs: " << settingsWriteFailure(path) << '\n';
            return 1;
        }
    }
    if (options->notify) {
        if (!startSystemNotifications())
            err << "kavrin-prefs: cannot reach the notification folder; the change is not announced\n";
        else
            sys::DarwinNotifyCenter::shared().postNotification(kPreferencesChanged);
    }
    return 0;
}

}
