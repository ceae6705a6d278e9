#include "backup_description.h"

#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>

namespace kavrin::phone_files {

namespace {

weeapp::sys::ValuePtr topList(const BackupFolder& backup, std::string_view name)
{
    const std::optional<std::filesystem::path> file = backup.topFile(name);
    return file ? weeapp::sys::readPropertyListFile(file->string()) : nullptr;
}

std::string textOf(const weeapp::sys::ValuePtr& value)
{
    return value && value->asString() ? *value->asString() : std::string();
}

// "2026-12-10T14:35:07Z" as "2026-12-10 14:35"; nothing for a date no calendar holds (a binary
// list's date may be any number, NaN included).
std::string dateOf(const weeapp::sys::ValuePtr& value)
{
    if (!value || !value->asDate())
        return {};
    const std::string text = weeapp::sys::isoDateText(*value->asDate());
    const auto time = text.find('T');
    if (time == std::string::npos)
        return {};
    return text.substr(0, time) + " " + text.substr(time + 1, 5);
}

}

BackupDescription describeBackup(const BackupFolder& backup)
{
    BackupDescription description;
    const weeapp::sys::ValuePtr manifest = topList(backup, "Manifest.plist");
    description.hasManifest = manifest && manifest->isDictionary();
    description.encrypted = weeapp::sys::boolValue(weeapp::sys::objectForKey(manifest, "IsEncrypted"));
    description.finished = textOf(weeapp::sys::objectForKey(topList(backup, "Status.plist"), "SnapshotState")) == "finished";

    const weeapp::sys::ValuePtr info = topList(backup, "Info.plist");
    const weeapp::sys::ValuePtr lockdown = weeapp::sys::objectForKey(manifest, "Lockdown");
    description.deviceName = textOf(weeapp::sys::objectForKey(info, "Device Name"));
    if (description.deviceName.empty())
        description.deviceName = textOf(weeapp::sys::objectForKey(lockdown, "DeviceName"));
    description.date = dateOf(weeapp::sys::objectForKey(info, "Last Backup Date"));
    if (description.date.empty())
        description.date = dateOf(weeapp::sys::objectForKey(manifest, "Date"));
    return description;
}

}
