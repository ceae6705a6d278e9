#pragma once

#include "result.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace kavrin::phone_files {

enum class BackupIndexFormat { Database,
    Mbdb };

// How a backup is written: its index's format, what its property lists say, and how much else
// its index lists.
struct BackupOptions {
    BackupIndexFormat format { BackupIndexFormat::Database };
    bool encrypted { false };
    bool finished { true };
    std::string deviceName { "Test Phone" };
    // Rows of other apps' files (listed, not stored), before the phone's own.
    std::size_t otherFiles { 0 };
    // Manifest.db in write-ahead-log mode; with logHoldsFiles, the phone's own rows are left in
    // its log, not yet in the database file.
    bool indexInLogMode { false };
    bool logHoldsFiles { false };
};

// Writes a backup of a phone root, as the phone's local backup lays it out, for tests and
// benchmarks: every file under the root's /private/var/mobile/ (but a database's "-shm") listed
// in HomeDomain with its folders, each file stored under the SHA-1 of its domain and path (in a
// subfolder by its first two characters for Manifest.db, at the top for Manifest.mbdb), and
// Manifest.plist, Status.plist and Info.plist. The backup folder must not exist yet.
Result<void> writeBackup(const std::filesystem::path& phoneRoot, const std::filesystem::path& backup, const BackupOptions& = {});

// The binary keyed archive of one file's record, as the index's file column holds it.
std::string fileRecordArchive(const std::string& relativePath, std::uint64_t size, std::uint32_t mode);

}
