#include "demo_phone_location.h"

#include <cstdlib>

namespace kavrin::phone_files {

namespace fs = std::filesystem;

fs::path programFolder()
{
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program.parent_path();
}

namespace {

// The user's data folder for an installed program, or empty for one in a build tree.
fs::path installedDataFolder()
{
    std::error_code ignored;
    fs::path folder = programFolder();
    if (folder.empty() || !fs::is_directory(folder.parent_path() / "share" / "kavrin", ignored))
        return {};
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return fs::path(data) / "kavrin";
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return fs::path(home) / ".local" / "share" / "kavrin";
    return {};
}

}

fs::path defaultDemoPhoneRoot()
{
    if (const char* folder = std::getenv("KAVRIN_DEMO_PHONE"); folder && *folder)
        return folder;
    std::error_code error;
    if (fs::path program = programFolder(); !program.empty()) {
        fs::path build = program.parent_path();
        fs::path checkout = build.parent_path();
        if (fs::is_regular_file(build / "CMakeCache.txt", error) && fs::is_regular_file(checkout / "CMakeLists.txt", error))
            return checkout / "demo-phone";
    }
    if (fs::path data = installedDataFolder(); !data.empty())
        return data / "demo-phone";
    return fs::path(KAVRIN_SOURCE_DIR) / "demo-phone";
}

bool demoPhoneFoldersMayBeMade(const fs::path& root)
{
    const char* chosen = std::getenv("KAVRIN_DEMO_PHONE");
    fs::path data = installedDataFolder();
    return !(chosen && *chosen) && !data.empty() && root == data / "demo-phone";
}

}
