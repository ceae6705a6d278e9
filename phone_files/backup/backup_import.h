#pragma once

#include "backup_description.h"
#include "backup_folder.h"
#include "import_root.h"
#include "result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::phone_files {

// The widget's files in the backup (domain HomeDomain is the phone's /private/var/mobile/),
// and what of them an import copies. Everything is decided, and every refusal made, from the
// backup alone before a byte is written.
struct ImportPlan {
    struct File {
        std::string phonePath;
        std::filesystem::path copy;
        std::uint64_t size { 0 };
    };

    BackupDescription description;
    std::vector<File> files;
};

// The plan for the backup, or why it cannot be imported: no backup, an encrypted or unfinished
// one, an index that cannot be read, a listed file missing or shorter than its recorded size.
// Reads the backup and writes nothing anywhere.
Result<ImportPlan> planImport(const BackupFolder&);

// What the import found, for the user.
struct ImportSummary {
    std::string deviceName;
    std::string date;
    std::size_t favorites { 0 };
    std::size_t withPhoto { 0 };
    // Why no favorite can have a photo, when the backup has no address book.
    std::string noPhotos;
    // The settings as "KEY = VALUE" lines, or nothing for the widget's defaults.
    std::vector<std::string> settings;
    bool replacedEarlierImport { false };
};

// Copies the plan's files into ROOT's place, links the bundle as the demo phone does, and puts
// it in place; on failure nothing of it is left.
Result<ImportSummary> carryOutImport(const ImportPlan&, ImportRoot&, const std::filesystem::path& bundleFolder);

}
