#include "backup_folder.h"

#include <algorithm>
#include <cctype>

namespace kavrin::phone_files {

namespace fs = std::filesystem;

namespace {

bool sameButCase(std::string_view left, std::string_view right)
{
    return std::ranges::equal(left, right, [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); });
}

bool isFile(const fs::path& path)
{
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

}

std::optional<fs::path> BackupFolder::topFile(std::string_view name) const
{
    if (const fs::path exact = m_folder / name; isFile(exact))
        return exact;
    std::optional<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator entry(m_folder, error), end; !error && entry != end; entry.increment(error)) {
        if (!sameButCase(entry->path().filename().native(), name) || !isFile(entry->path()))
            continue;
        if (found)
            return std::nullopt;
        found = entry->path();
    }
    return found;
}

std::optional<fs::path> BackupFolder::storedFile(std::string_view fileId) const
{
    // The index is data from outside: an ID is letters and digits only, so that it names a file
    // inside the backup and nowhere else.
    if (fileId.size() < 2 || !std::ranges::all_of(fileId, [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
        return std::nullopt;
    for (const fs::path& path : { m_folder / fileId.substr(0, 2) / fileId, m_folder / fileId })
        if (isFile(path))
            return path;
    return std::nullopt;
}

}
