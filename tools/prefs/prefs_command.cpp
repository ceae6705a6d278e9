#include "prefs_command.h"

#include "kavrin/published_names.h"
#include "prefs_options.h"
#include "setting_value.h"
#include "settings_change.h"
#include "settings_keys.h"
#include "system_notifications.h"
#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/phone_root.h>

#include <filesystem>
#include <ostream>

namespace kavrin::prefs {

using namespace phone_files;

namespace {

int readSettings(const PrefsOptions& options, std::ostream& out, std::ostream& err)
{
    SettingsEditor settings = SettingsEditor::load(settingsFilePath());
    if (!settings.editable()) {
        kPrefsErrors.report(err, settings.problem());
        return 1;
    }
    if (options.verb == PrefsVerb::List) {
        for (const auto& [key, value] : settings.values())
            out << settingKeyText(key) << ' ' << (value ? settingValueText(*value) : std::string()) << '\n';
        return 0;
    }
    if (sys::ValuePtr value = settings.value(options.key)) {
        out << settingValueText(*value) << '\n';
        return 0;
    }
    if (const SettingKey* key = findSettingKey(options.key)) {
        out << settingValueText(*settingDefault(*key)) << " (not set: the default)\n";
        return 0;
    }
    kPrefsErrors.report(err, settingKeyText(options.key) + " is not set, and the widget does not read it");
    return 1;
}

// set and unset: 0 when done, else the exit status; changed tells whether the file was written.
int changeSettings(const PrefsOptions& options, bool& changed, std::ostream& err)
{
    changed = false;
    const SettingsRules rules { .replaceUnreadable = options.force, .createRoot = options.create, .format = options.format };
    SettingsChange result;
    if (options.verb == PrefsVerb::Set) {
        CheckedSetting checked = checkSettingValue(options.key, options.value, options.force);
        if (!checked.value) {
            kPrefsErrors.report(err, checked.refusal + " (--force stores it as given)");
            return 2;
        }
        result = setSetting(options.key, checked.value, rules);
    } else {
        result = unsetSetting(options.key, rules);
    }
    if (!result.note().empty())
        kPrefsErrors.report(err, result.note());
    switch (result.outcome) {
    case SettingsChange::Outcome::Written:
        changed = true;
        return 0;
    case SettingsChange::Outcome::Unchanged:
        return 0;
    case SettingsChange::Outcome::Refused:
        kPrefsErrors.report(err, result.message);
        return 2;
    case SettingsChange::Outcome::Failed:
        break;
    }
    kPrefsErrors.report(err, result.message);
    return 1;
}

}

int runPrefsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    auto parsed = parsePrefsOptions(arguments);
    if (const auto* exit = std::get_if<PrefsExit>(&parsed)) {
        (exit->status == 0 ? out : err) << exit->text;
        return exit->status;
    }
    const PrefsOptions& options = std::get<PrefsOptions>(parsed);
    if (options.verb == PrefsVerb::Keys) {
        out << settingsKeysTable();
        return 0;
    }
    // A mistyped root must not grow a phone of its own.
    std::error_code ignored;
    if (!std::filesystem::is_directory(options.root, ignored)) {
        kPrefsErrors.report(err, "no phone root at " + options.root.string());
        return 2;
    }
    sys::setPhoneRoot(options.root);
    if (options.verb == PrefsVerb::Get || options.verb == PrefsVerb::List)
        return readSettings(options, out, err);

    bool changed = false;
    if (int status = changeSettings(options, changed, err); status != 0 || !changed)
        return status;
    if (options.notify) {
        if (!startSystemNotifications())
            kPrefsErrors.begin(err) << "cannot reach the notification folder; the change is not announced\n";
        else
            sys::DarwinNotifyCenter::shared().postNotification(kPreferencesChanged);
    }
    return 0;
}

}
