#pragma once

#include <filesystem>
#include <string>
#include <utility>

namespace kavrin::phone_files {

// A fresh folder that goes, with everything in it, when its owner goes. An owner that is empty,
// moved from or released owns nothing and removes nothing.
class OwnedFolder {
public:
    OwnedFolder() = default;
    // A new folder, 0700, named by the pattern with its last six characters "XXXXXX" made unique
    // (mkdtemp); an empty owner when none could be made.
    static OwnedFolder make(std::string pattern);
    OwnedFolder(OwnedFolder&& other) noexcept
        : m_path(std::exchange(other.m_path, {})) { }
    OwnedFolder& operator=(OwnedFolder&& other) noexcept;
    ~OwnedFolder();

    explicit operator bool() const { return !m_path.empty(); }
    const std::filesystem::path& path() const { return m_path; }
    // The folder is no longer this owner's to remove (it was moved into place).
    void release() { m_path.clear(); }

private:
    std::filesystem::path m_path;
};

}
