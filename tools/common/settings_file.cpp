#include "settings_file.h"

#include "controller/paths.h"
#include "sys/phone_root.h"

#include <filesystem>
#include <fstream>

namespace kavrin::tooling {

namespace {

bool looksBinary(const std::string& filePath)
{
    std::ifstream file(filePath, std::ios::binary);
    char magic[8] = { };
    file.read(magic, sizeof magic);
    return file.gcount() == sizeof magic && std::string_view(magic, sizeof magic) == "bplist00";
}

}

SettingsFile SettingsFile::load(const std::string& filePath)
{
    SettingsFile settings;
    std::error_code error;
    if (!std::filesystem::exists(filePath, error))
        return settings;
    if (looksBinary(filePath))
        settings.m_format = sys::PropertyListFormat::Binary;
    sys::ValuePtr root = sys::readPropertyListFile(filePath);
    if (root && root->asDictionary())
        settings.m_values = *root->asDictionary();
    else
        settings.m_unreadable = true;
    return settings;
}

sys::ValuePtr SettingsFile::value(std::string_view key) const
{
    auto found = m_values.find(key);
    return found == m_values.end() ? nullptr : found->second;
}

bool SettingsFile::unset(std::string_view key)
{
    auto found = m_values.find(key);
    if (found == m_values.end())
        return false;
    m_values.erase(found);
    return true;
}

bool SettingsFile::save(const std::string& filePath) const
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(filePath).parent_path(), error);
    return sys::writePropertyListAtomically(*sys::Value::dictionary(m_values), filePath, m_format);
}

std::string settingsFilePath()
{
    return sys::resolvePhonePath(kSettingsPath);
}

}
