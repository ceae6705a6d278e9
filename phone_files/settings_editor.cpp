#include "settings_editor.h"

#include "kavrin/published_names.h"
#include "sys/file_reading.h"
#include "sys/phone_root.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>

namespace kavrin::tooling {

bool isSomethingElse(const std::string& filePath)
{
    // A path that cannot be looked at does not count: writing there fails on its own.
    struct stat status { };
    return ::stat(filePath.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

SettingsEditor SettingsEditor::load(const std::string& filePath)
{
    SettingsEditor settings;
    std::error_code error;
    if (!std::filesystem::exists(filePath, error))
        return settings;
    settings.m_unreadable = true;
    settings.m_notAFile = isSomethingElse(filePath);
    std::optional<std::string> bytes = sys::readWholeFile(filePath);
    if (!bytes)
        return settings;
    settings.m_format = sys::propertyListFormatOf(*bytes);
    sys::ValuePtr root = sys::propertyListFromBytes(*bytes);
    if (root && root->asDictionary()) {
        settings.m_values = *root->asDictionary();
        settings.m_unreadable = false;
    }
    return settings;
}

sys::ValuePtr SettingsEditor::value(std::string_view key) const
{
    auto found = m_values.find(key);
    return found == m_values.end() ? nullptr : found->second;
}

bool SettingsEditor::unset(std::string_view key)
{
    auto found = m_values.find(key);
    if (found == m_values.end())
        return false;
    m_values.erase(found);
    return true;
}

bool SettingsEditor::save(const std::string& filePath) const
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(filePath).parent_path(), error);
    if (isSomethingElse(filePath))
        return false;
    return sys::writePropertyListAtomically(*sys::Value::dictionary(m_values), filePath, m_format);
}

std::string settingsFilePath()
{
    return sys::resolvePhonePath(kSettingsPath);
}

std::string settingsWriteFailure(const std::string& filePath)
{
    if (isSomethingElse(filePath))
        return filePath + " is not a regular file; it is left as it is";
    return "cannot write " + filePath;
}

}
