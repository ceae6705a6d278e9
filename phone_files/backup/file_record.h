#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin::phone_files {

// What the index's file column says of one file: a binary keyed archive of one record.
struct FileRecord {
    std::uint64_t size { 0 };
    std::uint32_t mode { 0 };
    std::string relativePath;
};

// The record of an archive's root object; nothing for bytes that are no keyed archive of a
// record with a size (a negative size, a root that is no dictionary, a reference out of range).
std::optional<FileRecord> decodeFileRecord(std::string_view archiveBytes);

}
