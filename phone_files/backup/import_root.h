#pragma once

#include "owned_folder.h"
#include "result.h"

#include <filesystem>

namespace kavrin::phone_files {

// The file that marks a folder as an earlier import, which a new import may replace.
inline constexpr const char* kImportMarker = ".kavrin-import";

// The folder an import writes: ROOT must be new, empty, or an earlier import (it holds the
// marker), never any other folder, nor a link. The import is made in a private folder beside
// ROOT and put in ROOT's place whole at the end, so that ROOT never holds half an import; a
// folder never put in place is removed with everything in it.
class ImportRoot {
public:
    // An error naming why ROOT may not be written.
    static Result<ImportRoot> prepare(const std::filesystem::path& root);
    ImportRoot(ImportRoot&&) noexcept = default;
    ImportRoot& operator=(ImportRoot&&) = delete;

    // Whether ROOT holds an earlier import, which the new one replaces.
    bool replacesEarlierImport() const { return m_earlier; }
    // Where the import is written until it is put in place.
    const std::filesystem::path& staging() const { return m_staging.path(); }

    // Makes the folder in the making's folders 0700 and its files 0600, writes the marker and
    // puts it in ROOT's place (an earlier import is removed then).
    Result<void> putInPlace();

private:
    ImportRoot(std::filesystem::path root, bool earlier)
        : m_root(std::move(root))
        , m_earlier(earlier) { }

    std::filesystem::path m_root;
    OwnedFolder m_staging;
    bool m_earlier { false };
};

}
