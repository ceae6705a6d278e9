#pragma once

#include "settings_editor.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavrin::phone_files {

// One change of the settings file as every writer makes it: under the settings lock, read whole,
// changed, written back atomically, and only when the change altered something. A file that
// cannot be edited is refused and left as it is; replaceUnreadable (the tools' --force) replaces
// one that is no readable dictionary once its bytes are kept beside it.
struct SettingsChange {
    enum class Outcome {
        Written,
        Unchanged, // nothing to write; the file is as it was
        Refused,   // the lock not taken or the file not editable; the file is as it was
        Failed,    // the file could not be written; it is as it was
    };
    Outcome outcome { Outcome::Unchanged };
    std::string message;  // why, for Refused and Failed
    std::string keptCopy; // where an unreadable file's bytes were kept
    // For Written: the file's bytes before (nothing when there was no file) and after.
    std::optional<std::string> before;
    std::string after;

    // What the writer says of the kept copy, or nothing.
    std::string note() const { return keptCopy.empty() ? std::string() : "kept the unreadable settings file's bytes in " + keptCopy; }
};

// What a writer of the settings may do beyond changing keys.
struct SettingsRules {
    bool replaceUnreadable { false };                         // --force: replace a file that is no readable dictionary
    bool createRoot { false };                                // --create: write under a root that does not look like a phone's
    std::optional<weeapp::sys::PropertyListFormat> format {}; // write in this format instead of the file's own
};

// One key's new value, or nil to remove it.
using SettingEdit = std::pair<std::string, weeapp::sys::ValuePtr>;

// The one policy by which the host's set and unset, kavrin-prefs and the host's looks change the
// settings: refused under the current phone root when it does not look like a phone's (unless
// createRoot); edits that would only remove keys that are not there change nothing (no lock, no
// write, no folder made); anything else is one change of the file, in the order given.
SettingsChange editSettings(const std::vector<SettingEdit>& edits, const SettingsRules& rules);
SettingsChange setSetting(const std::string& key, weeapp::sys::ValuePtr value, const SettingsRules& rules);
SettingsChange unsetSetting(const std::string& key, const SettingsRules& rules);

// Undoes a change that wrote `after` by putting back the bytes the file had before it (removing
// the file when there was none), under the lock and only while the file still holds exactly
// `after`: a file changed since by anyone else is Refused and left as it is.
SettingsChange putBackSettings(const std::string& after, const std::optional<std::string>& before, const SettingsRules& rules);

// change says whether it altered the settings.
SettingsChange changeSettingsFile(const std::function<bool(SettingsEditor&)>& change, bool replaceUnreadable);

}
