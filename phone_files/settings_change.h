#pragma once

#include "settings_editor.h"

#include <functional>
#include <string>
#include <string_view>

namespace kavrin::tooling {

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
};

// change says whether it altered the settings.
SettingsChange changeSettingsFile(const std::function<bool(SettingsEditor&)>& change, bool replaceUnreadable);

// True when the settings file is readable (or missing) and has no such key: removing it then
// needs neither the lock nor a write, and creates nothing. A replacement is atomic, so this look
// without the lock sees a whole file.
bool settingIsAbsent(std::string_view key);

}
