#include "import_root.h"

#include <fcntl.h>

#include <cstdio>
#include <fstream>

namespace kavrin::phone_files {

namespace fs = std::filesystem;

namespace {

// Folders under it 0700 (mkdtemp made it 0700 itself), files 0600; links are left as they are
// (their own mode means nothing).
bool restrictPermissions(const fs::path& folder)
{
    std::error_code error;
    for (fs::recursive_directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const fs::file_status status = entry->symlink_status(error);
        if (fs::is_directory(status))
            fs::permissions(entry->path(), fs::perms::owner_all, error);
        else if (fs::is_regular_file(status))
            fs::permissions(entry->path(), fs::perms::owner_read | fs::perms::owner_write, error);
    }
    return !error;
}

}

Result<ImportRoot> ImportRoot::prepare(const fs::path& root)
{
    const fs::path absolute = fs::absolute(root).lexically_normal();
    const fs::path target = absolute.has_filename() ? absolute : absolute.parent_path();
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    bool earlier = false;
    if (fs::is_symlink(status)) {
        return Error { root.string() + " is a link; name a new or empty folder, or an earlier import" };
    } else if (fs::exists(status)) {
        if (!fs::is_directory(status))
            return Error { root.string() + " is no folder; name a new or empty folder, or an earlier import" };
        earlier = fs::is_regular_file(fs::symlink_status(target / kImportMarker, error));
        if (!earlier && !fs::is_empty(target, error))
            return Error { root.string() + " holds files of its own and no earlier import; name a new or empty folder" };
    }
    // Parent folders that cannot be made fail the making of the folder beside ROOT below.
    fs::create_directories(target.parent_path(), error);
    ImportRoot made(target, earlier);
    made.m_staging = OwnedFolder::make((target.parent_path() / ("." + target.filename().string() + ".import-XXXXXX")).string());
    if (!made.m_staging)
        return Error { "cannot make a folder beside " + root.string() };
    return made;
}

Result<void> ImportRoot::putInPlace()
{
    const fs::path& staging = m_staging.path();
    std::ofstream(staging / kImportMarker) << "A phone root made by kavrin-import-backup from a backup; a new import replaces it.\n";
    if (!restrictPermissions(staging))
        return Error { "cannot restrict the permissions of " + staging.string() };
    if (m_earlier) {
        // The two folders trade places at once, and the earlier import goes with the private name.
        if (::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, m_root.c_str(), RENAME_EXCHANGE) != 0)
            return Error { "cannot replace the earlier import in " + m_root.string() };
    } else if (std::rename(staging.c_str(), m_root.c_str()) != 0) {
        // A folder that stayed empty is replaced; one that something filled in the meantime stays.
        return Error { "cannot put the import in " + m_root.string() + " (is it still empty?)" };
    } else {
        m_staging.release();
    }
    return {};
}

}
