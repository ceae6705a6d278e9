#pragma once

#include "backup_index.h"

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>

namespace kavrin::phone_files {

// One record of the older index: what the widget's import needs of it.
struct MbdbRecord {
    std::string domain;
    std::string path;
    std::uint16_t mode { 0 };
    std::uint64_t size { 0 };

    bool isFile() const { return (mode & 0xF000) == 0x8000; }
};

// The older index, Manifest.mbdb: "mbdb\x05\x00", then records, big-endian. Read a record at a
// time from the stream, every length checked against what the stream still holds, so that
// memory stays that of one record however long the index.
class MbdbReader {
public:
    explicit MbdbReader(std::istream& in)
        : m_in(in) { }

    // The next record; nothing at the end of the index; an error for bytes that are no such
    // index (a wrong header, a record cut short).
    Result<std::optional<MbdbRecord>> next();

private:
    std::istream& m_in;
    bool m_started { false };
};

// The older index as a backup's index: a file's copy is named by the SHA-1 of its domain and
// path. The format has no lookup of its own, so the records are read through once, a record
// at a time, until every path asked for is found.
class ManifestMbdb final : public BackupIndex {
public:
    explicit ManifestMbdb(std::filesystem::path file)
        : m_file(std::move(file)) { }

    Result<std::map<std::string, BackupEntry>> findFiles(std::string_view domain, std::span<const std::string> relativePaths) override;

private:
    std::filesystem::path m_file;
};

}
