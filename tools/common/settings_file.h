#pragma once

#include "sys/property_list.h"
#include "sys/value.h"

#include <string>
#include <string_view>

namespace kavrin::tooling {

// The widget's settings file as a writer sees it: a dictionary read whole, changed, and
// written back atomically in the format it had (XML for a new file).
class SettingsFile {
public:
    // A missing or unreadable file, or one whose root is not a dictionary, reads as empty.
    static SettingsFile load(const std::string& filePath);

    const sys::Dictionary& values() const { return m_values; }
    sys::ValuePtr value(std::string_view key) const;
    void set(std::string key, sys::ValuePtr value) { m_values[std::move(key)] = std::move(value); }
    bool unset(std::string_view key);

    sys::PropertyListFormat format() const { return m_format; }
    void setFormat(sys::PropertyListFormat format) { m_format = format; }
    // True when the file existed but could not be read as a dictionary.
    bool wasUnreadable() const { return m_unreadable; }

    // Creates the folder when missing and replaces the file atomically.
    bool save(const std::string& filePath) const;

private:
    sys::Dictionary m_values;
    sys::PropertyListFormat m_format { sys::PropertyListFormat::Xml };
    bool m_unreadable { false };
};

// The settings file's real path under the current phone root.
std::string settingsFilePath();

}
