#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace kavrin::phone_files {

// The folder of one of the phone's local backups, as the user names it.
class BackupFolder {
public:
    explicit BackupFolder(std::filesystem::path folder)
        : m_folder(std::move(folder)) { }

    const std::filesystem::path& path() const { return m_folder; }

    // A file at the top of the folder by its name ("Manifest.db"); when the name is not there as
    // written, the one file whose name differs from it only in case (a backup copied through a
    // disk that does not keep case). Nothing when there is none, or more than one such.
    std::optional<std::filesystem::path> topFile(std::string_view name) const;

    // Where the copy of a listed file lies: in the subfolder named by the ID's first two
    // characters, or, in older backups, at the top. Nothing when it is in neither place.
    std::optional<std::filesystem::path> storedFile(std::string_view fileId) const;

private:
    std::filesystem::path m_folder;
};

}
