#include "file_record.h"

#include <weeapp/sys/property_list.h>
#include <weeapp/sys/value.h>

#include <limits>

namespace kavrin::phone_files {

namespace {

// The object a reference leads to among the archive's objects; nil for anything else.
sys::ValuePtr referenced(const sys::ValuePtr& objects, const sys::ValuePtr& reference)
{
    const sys::Uid* uid = reference ? reference->asUid() : nullptr;
    if (!uid || uid->value >= sys::count(objects))
        return nullptr;
    return sys::objectAtIndex(objects, static_cast<std::size_t>(uid->value));
}

std::optional<std::uint64_t> unsignedOf(const sys::ValuePtr& value)
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
    const sys::ValuePtr archive = sys::propertyListFromBytes(archiveBytes);
    const sys::ValuePtr objects = sys::objectForKey(archive, "$objects");
    const sys::ValuePtr record = referenced(objects, sys::objectForKey(sys::objectForKey(archive, "$top"), "root"));
    if (!record || !record->isDictionary())
        return std::nullopt;
    const std::optional<std::uint64_t> size = unsignedOf(sys::objectForKey(record, "Size"));
    if (!size)
        return std::nullopt;
    FileRecord decoded;
    decoded.size = *size;
    if (const std::optional<std::uint64_t> mode = unsignedOf(sys::objectForKey(record, "Mode")); mode && *mode <= std::numeric_limits<std::uint32_t>::max())
        decoded.mode = static_cast<std::uint32_t>(*mode);
    if (const sys::ValuePtr path = referenced(objects, sys::objectForKey(record, "RelativePath")); path && path->asString())
        decoded.relativePath = *path->asString();
    return decoded;
}

}
