#include "file_record.h"

#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>

#include <limits>

namespace kavrin::phone_files {

namespace {

// The object a reference leads to among the archive's objects; nil for anything else.
weeapp::sys::ValuePtr referenced(const weeapp::sys::ValuePtr& objects, const weeapp::sys::ValuePtr& reference)
{
    const weeapp::sys::Uid* uid = reference ? reference->asUid() : nullptr;
    if (!uid || uid->value >= weeapp::sys::count(objects))
        return nullptr;
    return weeapp::sys::objectAtIndex(objects, static_cast<std::size_t>(uid->value));
}

std::optional<std::uint64_t> unsignedOf(const weeapp::sys::ValuePtr& value)
{
    if (!value)
        return std::nullopt;
    if (const auto* big = std::get_if<std::uint64_t>(&value->storage()))
        return *big;
    if (const auto* number = std::get_if<std::int64_t>(&value->storage()); number && *number >= 0)
        return static_cast<std::uint64_t>(*number);
    return std::nullopt;
}

}

std::optional<FileRecord> decodeFileRecord(std::string_view archiveBytes)
{
    const weeapp::sys::ValuePtr archive = weeapp::sys::propertyListFromBytes(archiveBytes);
    const weeapp::sys::ValuePtr objects = weeapp::sys::objectForKey(archive, "$objects");
    const weeapp::sys::ValuePtr record = referenced(objects, weeapp::sys::objectForKey(weeapp::sys::objectForKey(archive, "$top"), "root"));
    if (!record || !record->isDictionary())
        return std::nullopt;
    const std::optional<std::uint64_t> size = unsignedOf(weeapp::sys::objectForKey(record, "Size"));
    if (!size)
        return std::nullopt;
    FileRecord decoded;
    decoded.size = *size;
    if (const std::optional<std::uint64_t> mode = unsignedOf(weeapp::sys::objectForKey(record, "Mode")); mode && *mode <= std::numeric_limits<std::uint32_t>::max())
        decoded.mode = static_cast<std::uint32_t>(*mode);
    if (const weeapp::sys::ValuePtr path = referenced(objects, weeapp::sys::objectForKey(record, "RelativePath")); path && path->asString())
        decoded.relativePath = *path->asString();
    return decoded;
}

}
