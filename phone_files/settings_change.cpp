#include "settings_change.h"

#include "phone_root_check.h"
#include "settings_lock.h"
#include <weeapp/sys/phone_root.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace kavrin::phone_files {

namespace {

SettingsChange ending(SettingsChange::Outcome outcome, std::string message, std::string keptCopy = {})
{
    SettingsChange change;
    change.outcome = outcome;
    change.message = std::move(message);
    change.keptCopy = std::move(keptCopy);
    return change;
}

}

SettingsChange changeSettingsFile(const std::function<bool(SettingsEditor&)>& change, bool replaceUnreadable)
{
    using Outcome = SettingsChange::Outcome;
    SettingsChange result;
    SettingsLock lock;
    if (!lock.held())
        return ending(Outcome::Refused, lock.failure() + "; the settings are left as they are");
    std::string path = settingsFilePath();
    removeInterruptedWrites(path);
    SettingsEditor settings = SettingsEditor::load(path);
    std::optional<std::string> before = settings.bytesRead();
    bool mustReplace = false;
    if (!settings.editable()) {
        if (!replaceUnreadable || settings.state() != SettingsEditor::State::Unreadable) {
            bool replaceable = settings.state() == SettingsEditor::State::Unreadable;
            return ending(Outcome::Refused, settings.problem() + (replaceable ? "; --force replaces it, keeping its bytes beside it" : ""));
        }
        std::optional<std::string> copy = settings.setAside();
        if (!copy)
            return ending(Outcome::Refused, settings.problem() + ", since no copy of it could be kept");
        result.keptCopy = *copy;
        mustReplace = true;
    }
    if (!change(settings) && !mustReplace)
        return result;
    // A value that would not come back as it was refuses the whole change, as an unreadable file does.
    Result<std::string> contents = settings.contents();
    if (!contents)
        return ending(Outcome::Refused, contents.error(), result.keptCopy);
    if (!settings.write(*contents)) {
        result.outcome = Outcome::Failed;
        result.message = settingsWriteFailure(path, errno);
        return result;
    }
    result.outcome = Outcome::Written;
    result.before = std::move(before);
    result.after = std::move(*contents);
    return result;
}

SettingsChange putBackSettings(const std::string& after, const std::optional<std::string>& before, const SettingsRules& rules)
{
    using Outcome = SettingsChange::Outcome;
    if (!rules.createRoot && !looksLikePhoneRoot(sys::phoneRoot()))
        return ending(Outcome::Refused, sys::phoneRoot().string() + " no longer looks like a phone root");
    SettingsLock lock;
    if (!lock.held())
        return ending(Outcome::Refused, lock.failure() + "; the settings are left as they are");
    std::string path = settingsFilePath();
    removeInterruptedWrites(path);
    const SettingsEditor settings = SettingsEditor::load(path);
    if (settings.state() != SettingsEditor::State::Readable || settings.bytesRead() != after)
        return ending(Outcome::Refused, path + " has changed since; it is left as it is");
    std::error_code error;
    if (before ? !settings.write(*before) : !std::filesystem::remove(path, error))
        return ending(Outcome::Failed, settingsWriteFailure(path, before ? errno : error.value()));
    SettingsChange putBack = ending(Outcome::Written, {});
    putBack.before = after;
    putBack.after = before.value_or(std::string());
    return putBack;
}

SettingsChange editSettings(const std::vector<SettingEdit>& edits, const SettingsRules& rules)
{
    using Outcome = SettingsChange::Outcome;
    if (!rules.createRoot && !looksLikePhoneRoot(sys::phoneRoot())) {
        return ending(Outcome::Refused,
            sys::phoneRoot().string() + " does not look like a phone root (it has no "
                + std::filesystem::path(kPhoneUserFolder).relative_path().string() + "); --create makes the settings file there");
    }
    // Removals of keys that are not there need neither the lock nor a write; the file is read once
    // to tell. A replacement is atomic, so this look without the lock sees a whole file.
    if (std::ranges::all_of(edits, [](const SettingEdit& edit) { return !edit.second; })) {
        const SettingsEditor current = SettingsEditor::load(settingsFilePath());
        if (current.editable() && std::ranges::none_of(edits, [&](const SettingEdit& edit) { return current.value(edit.first) != nullptr; }))
            return {};
    }
    auto change = [&](SettingsEditor& settings) {
        if (rules.format)
            settings.setFormat(*rules.format);
        bool changed = false;
        for (const auto& [key, value] : edits) {
            if (value) {
                settings.set(key, value);
                changed = true;
            } else {
                changed = settings.unset(key) || changed;
            }
        }
        return changed;
    };
    return changeSettingsFile(change, rules.replaceUnreadable);
}

SettingsChange setSetting(const std::string& key, sys::ValuePtr value, const SettingsRules& rules)
{
    return editSettings({ { key, std::move(value) } }, rules);
}

SettingsChange unsetSetting(const std::string& key, const SettingsRules& rules)
{
    return editSettings({ { key, nullptr } }, rules);
}

}
