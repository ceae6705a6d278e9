#include "settings_editor.h"

#include "kavrin/published_names.h"
#include "setting_value.h"
#include <weeapp/sys/file_reading.h>
#include <weeapp/sys/file_writing.h>
#include <weeapp/sys/phone_root.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <regex>
#include <vector>

namespace kavrin::phone_files {

namespace {

// Far more than any settings file; a bigger one is not read.
constexpr std::uintmax_t kLargestSettingsFile = 64u << 20;

enum class Entry { Missing,
    RegularFile,
    SomethingElse,
    Unknown };

// What is at the path itself, a link not followed.
Entry entryAt(const std::string& filePath)
{
    struct stat status { };
    if (::lstat(filePath.c_str(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Entry::Missing : Entry::Unknown;
    return S_ISREG(status.st_mode) ? Entry::RegularFile : Entry::SomethingElse;
}

std::string utcStamp()
{
    std::time_t now = std::time(nullptr);
    std::tm parts {};
    ::gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
    return text;
}

}

SettingsEditor SettingsEditor::load(const std::string& filePath)
{
    SettingsEditor settings;
    settings.m_path = filePath;
    switch (entryAt(filePath)) {
    case Entry::Missing:
        return settings;
    case Entry::SomethingElse:
        settings.m_state = State::NotAFile;
        return settings;
    case Entry::Unknown:
    case Entry::RegularFile:
        break;
    }
    settings.m_state = State::Unreadable;
    // A link or a FIFO put there since the look is not followed or waited on.
    settings.m_bytes = sys::readWholeFile(filePath, kLargestSettingsFile, sys::FinalLink::Refuse);
    if (!settings.m_bytes) {
        if (entryAt(filePath) == Entry::SomethingElse)
            settings.m_state = State::NotAFile;
        return settings;
    }
    if (std::optional<sys::PropertyListDocument> document = sys::PropertyListDocument::fromBytes(*settings.m_bytes)) {
        settings.m_document = std::move(*document);
        settings.m_state = State::Readable;
    }
    return settings;
}

std::string SettingsEditor::problem() const
{
    switch (m_state) {
    case State::Missing:
    case State::Readable:
        return {};
    case State::NotAFile:
        return m_path + " is not a regular file; it is left as it is";
    case State::Unreadable:
        break;
    }
    if (!m_bytes)
        return m_path + " cannot be read; it is left as it is";
    return m_path + " is not a readable settings file (a property list with a dictionary at its root); it is left as it is";
}

std::optional<std::string> SettingsEditor::setAside()
{
    if (m_state != State::Unreadable || !m_bytes)
        return std::nullopt;
    std::string stem = m_path + ".broken-" + utcStamp();
    for (int attempt = 1; attempt <= 100; ++attempt) {
        std::string copy = attempt == 1 ? stem : stem + "-" + std::to_string(attempt);
        if (sys::writeNewFile(copy, *m_bytes)) {
            m_state = State::Readable;
            m_bytes.reset();
            m_document = sys::PropertyListDocument::empty();
            return copy;
        }
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

Result<std::string> SettingsEditor::contents() const
{
    auto serialized = m_document.serialize();
    if (auto* bytes = std::get_if<std::string>(&serialized))
        return std::move(*bytes);
    const auto& failure = std::get<sys::PropertyListDocument::CarryFailure>(serialized);
    const std::string where = failure.key.empty() ? std::string() : " under " + settingKeyText(failure.key);
    return Error { m_path + ": the " + failure.kind + where + " cannot be written back as it is; the file is left as it is" };
}

bool SettingsEditor::save() const
{
    if (!editable())
        return false;
    Result<std::string> bytes = contents();
    return bytes && write(*bytes);
}

bool SettingsEditor::write(const std::string& bytes) const
{
    if (!editable())
        return false;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ignored);
    Entry now = entryAt(m_path);
    if (now == Entry::SomethingElse || (m_state == State::Missing && now != Entry::Missing)) {
        errno = 0;
        return false;
    }
    return sys::writeFileAtomically(m_path, bytes);
}

namespace {

// mkstemp's six letters and digits after the stem.
bool isTemporaryName(std::string_view name, std::string_view stem)
{
    if (!name.starts_with(stem) || name.size() != stem.size() + 6)
        return false;
    return std::ranges::all_of(name.substr(stem.size()), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// setAside's stamp, with its number when several copies were kept in one second.
bool isSetAsideName(const std::string& name, const std::string& stem)
{
    static const std::regex stamp(R"([0-9]{8}T[0-9]{6}Z(-[0-9]{1,3})?)");
    return name.starts_with(stem) && std::regex_match(name.begin() + static_cast<std::ptrdiff_t>(stem.size()), name.end(), stamp);
}

}

void removeInterruptedWrites(const std::string& filePath)
{
    const std::filesystem::path file(filePath);
    const std::string name = file.filename().string();
    const std::string temporaryStem = "." + name + ".";
    const std::string copyStem = name + ".broken-";
    std::optional<std::optional<std::string>> current; // read once, when a copy asks for it
    std::vector<std::filesystem::path> leftovers;
    std::error_code error;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(file.parent_path(), error)) {
        const std::string entryName = entry.path().filename().string();
        if (entryAt(entry.path().string()) != Entry::RegularFile)
            continue;
        if (isTemporaryName(entryName, temporaryStem)) {
            leftovers.push_back(entry.path());
        } else if (isSetAsideName(entryName, copyStem)) {
            if (!current)
                current = sys::readWholeFile(filePath, kLargestSettingsFile, sys::FinalLink::Refuse);
            if (*current && sys::readWholeFile(entry.path().string(), kLargestSettingsFile, sys::FinalLink::Refuse) == **current)
                leftovers.push_back(entry.path());
        }
    }
    for (const std::filesystem::path& leftover : leftovers)
        std::filesystem::remove(leftover, error);
}

std::string settingsFilePath()
{
    return sys::resolvePhonePath(kSettingsPath);
}

std::string settingsWriteFailure(const std::string& filePath, int reason)
{
    if (entryAt(filePath) == Entry::SomethingElse)
        return filePath + " is not a regular file; it is left as it is";
    return "cannot write " + filePath + (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()) + "; it is left as it was";
}

}
