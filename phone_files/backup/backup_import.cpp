#include "backup_import.h"

#include "kavrin/published_names.h"
#include "manifest_database.h"
#include "manifest_mbdb.h"
#include "phone_writer.h"
#include "sqlite_handles.h"
#include "system_notifications.h"
#include <weeapp/sys/files/phone_paths.h>
#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>

#include <algorithm>
#include <array>
#include <memory>

namespace kavrin::phone_files {

namespace fs = std::filesystem;

namespace {

// The phone's folder that the backup's home domain holds.
constexpr std::string_view kHomeFolder = "/private/var/mobile/";
constexpr std::string_view kHomeDomain = "HomeDomain";

// The widget's files, as phone paths; a database's log is backed up beside it when the phone had
// not yet written it into the database.
const std::array<std::string, 6> kWidgetFiles {
    weeapp::sys::kFavoritesPath,
    weeapp::sys::kAddressBookPath,
    std::string(weeapp::sys::kAddressBookPath) + "-wal",
    weeapp::sys::kAddressBookImagesPath,
    std::string(weeapp::sys::kAddressBookImagesPath) + "-wal",
    kSettingsPath,
};

std::string relativeToHome(std::string_view phonePath)
{
    return std::string(phonePath.substr(kHomeFolder.size()));
}

Result<std::unique_ptr<BackupIndex>> openIndex(const BackupFolder& backup, const BackupDescription& description)
{
    const std::string name = backup.path().string();
    if (description.encrypted)
        return Error { name + " is an encrypted backup; an unencrypted backup is needed (back the phone up again with encryption off)" };
    const std::optional<fs::path> database = backup.topFile("Manifest.db");
    const std::optional<fs::path> mbdb = backup.topFile("Manifest.mbdb");
    if (!database && !mbdb)
        return Error { name + " is no backup of a phone: it holds no Manifest.db or Manifest.mbdb" };
    if (database && !ManifestDatabase::looksLikeDatabase(*database)) {
        if (description.hasManifest)
            return Error { name + " is an encrypted backup (its index is no readable database); an unencrypted backup is needed" };
        return Error { name + " is no backup of a phone: its Manifest.db is no database" };
    }
    if (!description.finished)
        return Error { name + " is an unfinished backup (its Status.plist does not say it finished); let the backup finish, or make a new one" };
    if (!database)
        return std::unique_ptr<BackupIndex>(std::make_unique<ManifestMbdb>(*mbdb));
    Result<std::unique_ptr<ManifestDatabase>> opened = ManifestDatabase::open(*database);
    if (!opened)
        return Error { opened.error() };
    return std::unique_ptr<BackupIndex>(std::move(*opened));
}

std::string describeValue(const weeapp::sys::ValuePtr& value)
{
    if (value && value->isBoolean())
        return value->boolValue() ? "YES" : "NO";
    return weeapp::sys::description(value);
}

// Which favorites have a thumbnail of the format the widget shows.
std::size_t favoritesWithPhoto(const weeapp::sys::ValuePtr& favorites, const fs::path& images)
{
    SqliteConnection connection = openSqlite(images.c_str(), SQLITE_OPEN_READONLY);
    SqliteStatement query = connection ? prepareSqlite(connection.get(), "SELECT 1 FROM ABThumbnailImage WHERE format = 0 AND record_id = ? LIMIT 1") : nullptr;
    if (!query)
        return 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < weeapp::sys::count(favorites); ++i) {
        const weeapp::sys::ValuePtr uid = weeapp::sys::objectForKey(weeapp::sys::objectAtIndex(favorites, i), "ABUid");
        if (!uid)
            continue;
        sqlite3_reset(query.get());
        sqlite3_bind_int(query.get(), 1, weeapp::sys::intValue(uid));
        count += sqlite3_step(query.get()) == SQLITE_ROW ? 1 : 0;
    }
    return count;
}

ImportSummary summarize(const ImportPlan& plan, const PhoneWriter& phone)
{
    ImportSummary summary;
    summary.deviceName = plan.description.deviceName;
    summary.date = plan.description.date;
    const auto copied = [&](std::string_view phonePath) {
        return std::ranges::any_of(plan.files, [&](const ImportPlan::File& file) { return file.phonePath == phonePath; });
    };
    const weeapp::sys::ValuePtr favorites = weeapp::sys::readPropertyListFile(phone.realPath(weeapp::sys::kFavoritesPath).string());
    summary.favorites = favorites && favorites->isArray() ? weeapp::sys::count(favorites) : 0;
    if (!copied(weeapp::sys::kAddressBookPath))
        summary.noPhotos = "the backup has no address book";
    else if (!copied(weeapp::sys::kAddressBookImagesPath))
        summary.noPhotos = "the backup's address book has no images";
    else
        summary.withPhoto = favoritesWithPhoto(favorites, phone.realPath(weeapp::sys::kAddressBookImagesPath));

    const weeapp::sys::ValuePtr settings = weeapp::sys::readPropertyListFile(phone.realPath(kSettingsPath).string());
    if (const weeapp::sys::Dictionary* entries = settings ? settings->asDictionary() : nullptr)
        for (const auto& [key, value] : *entries)
            summary.settings.push_back(key + " = " + describeValue(value));
    return summary;
}

}

Result<ImportPlan> planImport(const BackupFolder& backup)
{
    std::error_code ignored;
    if (!fs::is_directory(backup.path(), ignored))
        return Error { backup.path().string() + " is no folder" };
    ImportPlan plan;
    plan.description = describeBackup(backup);
    Result<std::unique_ptr<BackupIndex>> index = openIndex(backup, plan.description);
    if (!index)
        return Error { index.error() };

    std::vector<std::string> relativePaths;
    for (const std::string& phonePath : kWidgetFiles)
        relativePaths.push_back(relativeToHome(phonePath));
    Result<std::map<std::string, BackupEntry>> found = (*index)->findFiles(kHomeDomain, relativePaths);
    if (!found)
        return Error { found.error() };

    for (const std::string& phonePath : kWidgetFiles) {
        const std::string relative = relativeToHome(phonePath);
        const auto entry = found->find(relative);
        if (entry == found->end())
            continue;
        const std::string listed = backup.path().string() + " lists " + std::string(kHomeDomain) + "-" + relative;
        const std::optional<fs::path> copy = backup.storedFile(entry->second.fileId);
        if (!copy)
            return Error { listed + ", but its file " + entry->second.fileId + " is missing" };
        const std::uintmax_t size = fs::file_size(*copy, ignored);
        if (ignored || size < entry->second.size)
            return Error { listed + ", but its file " + entry->second.fileId + " is shorter (" + std::to_string(size) + " bytes) than the "
                + std::to_string(entry->second.size) + " bytes recorded" };
        plan.files.push_back({ phonePath, *copy, entry->second.size });
    }
    return plan;
}

Result<ImportSummary> carryOutImport(const ImportPlan& plan, ImportRoot& root, const fs::path& bundleFolder)
{
    const PhoneWriter phone(root.staging());
    if (!phone.makeFolders())
        return Error { "cannot make the phone's folders in " + root.staging().string() };
    // Every file the widget reads lies in one of the folders makeFolders made.
    for (const ImportPlan::File& file : plan.files) {
        const fs::path target = phone.realPath(file.phonePath);
        std::error_code error;
        fs::copy_file(file.copy, target, error);
        if (error)
            return Error { "cannot copy " + file.copy.string() + ": " + error.message() };
        if (fs::file_size(target, error) < file.size || error)
            return Error { file.copy.string() + " became shorter while it was copied" };
    }
    if (Result<void> linked = phone.linkBundle(kBundlePath, bundleFolder); !linked)
        return Error { linked.error() };
    std::error_code ignored;
    fs::create_directories(phone.realPath(kSystemNotificationFolder), ignored);

    ImportSummary summary = summarize(plan, phone);
    summary.replacedEarlierImport = root.replacesEarlierImport();
    if (Result<void> placed = root.putInPlace(); !placed)
        return Error { placed.error() };
    return summary;
}

}
