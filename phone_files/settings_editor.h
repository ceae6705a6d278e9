#pragma once

#include "sys/property_list.h"
#include "sys/value.h"

#include <optional>
#include <string>
#include <string_view>

namespace kavrin::tooling {

// The widget's settings file as a writer sees it: a dictionary read whole, changed, and
// written back atomically in the format it had (XML for a new file). Only a regular file is
// ever read or replaced: a FIFO, a folder or a device in its place would block a reader or be
// destroyed by the rename.
class SettingsEditor {
public:
    // A missing file reads as empty, and so does an unreadable one: anything but a regular file,
    // or a file that is not a property list with a dictionary at its root.
    static SettingsEditor load(const std::string& filePath);

    const sys::Dictionary& values() const { return m_values; }
    sys::ValuePtr value(std::string_view key) const;
    void set(std::string key, sys::ValuePtr value) { m_values[std::move(key)] = std::move(value); }
    bool unset(std::string_view key);

    sys::PropertyListFormat format() const { return m_format; }
    void setFormat(sys::PropertyListFormat format) { m_format = format; }
    // True when the file existed but could not be read as a dictionary.
    bool wasUnreadable() const { return m_unreadable; }
    // True when something other than a regular file was in the file's place.
    bool wasNotAFile() const { return m_notAFile; }

    // Creates the folder when missing and replaces the file atomically. False, with nothing
    // written, when something other than a regular file is in the file's place.
    bool save(const std::string& filePath) const;

private:
    sys::Dictionary m_values;
    sys::PropertyListFormat m_format { sys::PropertyListFormat::Xml };
    bool m_unreadable { false };
    bool m_notAFile { false };
};

// True when something other than a regular file (a FIFO, a folder, a device) is at the path.
bool isSomethingElse(const std::string& filePath);

// The settings file's real path under the current phone root.
std::string settingsFilePath();

// The one reason a changed settings file could not be written, for a message.
std::string settingsWriteFailure(const std::string& filePath);

}
