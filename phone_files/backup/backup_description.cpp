#include "backup_description.h"

#include <weeapp/sys/property_list.h>
#include <weeapp/sys/value.h>

namespace kavrin::phone_files {

namespace {

sys::ValuePtr topList(const BackupFolder& backup, std::string_view name)
{
    const std::optional<std::filesystem::path> file = backup.topFile(name);
    return file ? sys::readPropertyListFile(file->string()) : nullptr;
}

std::string textOf(const sys::ValuePtr& value)
{
    return value && value->asString() ? *value->asString() : std::string();
}

// "2026-12-10T14:35:07Z" as "2026-12-10 14:35".
std::string dateOf(const sys::ValuePtr& value)
{
    if (!value || !value->asDate())
        return {};
    std::string text = sys::isoDateText(*value->asDate());
    const auto time = text.find('T');
    if (time == std::string::npos || text.size() < time + 6)
        return text;
    return text.substr(0, time) + " " + text.substr(time + 1, 5);
}

}

BackupDescription describeBackup(const BackupFolder& backup)
{
    BackupDescription description;
    const sys::ValuePtr manifest = topList(backup, "Manifest.plist");
    description.hasManifest = manifest && manifest->isDictionary();
    description.encrypted = sys::boolValue(sys::objectForKey(manifest, "IsEncrypted"));
    description.finished = textOf(sys::objectForKey(topList(backup, "Status.plist"), "SnapshotState")) == "finished";

    const sys::ValuePtr info = topList(backup, "Info.plist");
    const sys::ValuePtr lockdown = sys::objectForKey(manifest, "Lockdown");
    description.deviceName = textOf(sys::objectForKey(info, "Device Name"));
    if (description.deviceName.empty())
        description.deviceName = textOf(sys::objectForKey(lockdown, "DeviceName"));
    description.date = dateOf(sys::objectForKey(info, "Last Backup Date"));
    if (description.date.empty())
        description.date = dateOf(sys::objectForKey(manifest, "Date"));
    return description;
}

}
