#pragma once

#include "result.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace kavrin::phone_files {

// One file the backup's index lists: its ID (the name of its copy in the backup's folder) and
// the size the phone recorded.
struct BackupEntry {
    std::string fileId;
    std::uint64_t size { 0 };
};

// The backup's index, in either of its formats: the files of one domain at the relative paths
// asked for, by relative path. A path the index does not list as a file is left out; an index
// that cannot be read is an error.
class BackupIndex {
public:
    virtual ~BackupIndex() = default;
    virtual Result<std::map<std::string, BackupEntry>> findFiles(std::string_view domain, std::span<const std::string> relativePaths) = 0;
};

}
