#pragma once

#include "backup_index.h"
#include "owned_folder.h"
#include "sqlite_handles.h"

#include <filesystem>
#include <memory>

namespace kavrin::phone_files {

// The newer index, an SQLite database, opened so that nothing is ever written beside it: as
// immutable when it is whole in its file, and as a private copy (removed when this is gone) when
// a write-ahead log beside it holds rows not yet in the file. Each file is looked up through
// the index on relative paths, so neither time nor memory grows with the rows.
class ManifestDatabase final : public BackupIndex {
public:
    // Whether the file starts as an SQLite database does (an encrypted index does not).
    static bool looksLikeDatabase(const std::filesystem::path&);
    static Result<std::unique_ptr<ManifestDatabase>> open(const std::filesystem::path& file);
    ~ManifestDatabase() override;

    Result<std::map<std::string, BackupEntry>> findFiles(std::string_view domain, std::span<const std::string> relativePaths) override;

    // The lookup of one file: the relative path is the indexed column, and the domain is
    // compared on the rows it finds ("+" keeps SQLite from walking the domain's index, which
    // holds most of the rows).
    static constexpr const char* kLookup = "SELECT fileID, file FROM Files WHERE relativePath = ?1 AND +domain = ?2 AND +flags = 1";

private:
    ManifestDatabase() = default;

    // The folder of the private copy, removed with it once the connection below is closed
    // (members go in the reverse of their order here).
    OwnedFolder m_privateCopy;
    SqliteConnection m_connection;
    SqliteStatement m_lookup;
};

}
