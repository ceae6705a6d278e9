#pragma once

#include "backup_folder.h"

#include <optional>
#include <string>

namespace kavrin::phone_files {

// What the backup's own property lists say of it: Manifest.plist whether it is encrypted,
// Status.plist whether it was finished, Info.plist (or Manifest.plist) the device and the date.
struct BackupDescription {
    bool hasManifest { false };
    bool encrypted { false };
    bool finished { false };
    std::string deviceName;
    // The backup's date in UTC ("2026-12-10 14:35"), empty when no list gives one.
    std::string date;
};

BackupDescription describeBackup(const BackupFolder&);

}
