#include "sys/property_list.h"

#include "sys/binary_plist_keys.h"
#include "sys/file_reading.h"
#include "sys/phone_root.h"

#include <plist/plist.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace sys {

namespace {

// Deeper nesting than any real property list; refusing it keeps the recursion bounded.
constexpr int kMaximumDepth = 256;
// Property lists are small; anything this big is not one of ours.
constexpr std::uintmax_t kMaximumFileSize = 64u << 20;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistDeleter>;

struct FreeDeleter {
    void operator()(char* pointer) const { std::free(pointer); }
};
using CString = std::unique_ptr<char, FreeDeleter>;

ValuePtr fromPlist(plist_t node, int depth);

ValuePtr arrayFromPlist(plist_t node, int depth)
{
    Array items;
    uint32_t size = plist_array_get_size(node);
    items.reserve(size);
    for (uint32_t i = 0; i < size; ++i) {
        ValuePtr item = fromPlist(plist_array_get_item(node, i), depth + 1);
        if (!item)
            return nullptr;
        items.push_back(std::move(item));
    }
    return Value::array(std::move(items));
}

ValuePtr dictionaryFromPlist(plist_t node, int depth)
{
    Dictionary entries;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    if (!iterator)
        return nullptr;
    while (true) {
        char* rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iterator, &rawKey, &item);
        CString key(rawKey);
        if (!item)
            break;
        ValuePtr value = fromPlist(item, depth + 1);
        if (!value || !key) {
            std::free(iterator);
            return nullptr;
        }
        // The writers keep their keys sorted, so the hint is nearly always right.
        entries.insert_or_assign(entries.end(), std::string(key.get()), std::move(value));
    }
    std::free(iterator);
    return Value::dictionary(std::move(entries));
}

ValuePtr fromPlist(plist_t node, int depth)
{
    if (!node || depth > kMaximumDepth)
        return nullptr;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return Value::boolean(value != 0);
    }
    case PLIST_UINT: {
        // The library keeps every integer as unsigned 64 bits; negative ones come back in
        // two's complement.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return Value::integer(static_cast<std::int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return Value::real(value);
    }
    case PLIST_STRING: {
        // Up to the first NUL, as the C string that the library hands out would be.
        const char* text = plist_get_string_ptr(node, nullptr);
        return Value::string(text ? std::string(text) : std::string());
    }
    case PLIST_KEY: {
        char* raw = nullptr;
        plist_get_key_val(node, &raw);
        CString text(raw);
        return Value::string(text ? std::string(text.get()) : std::string());
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
        std::vector<std::uint8_t> data;
        if (bytes && length > 0)
            data.assign(bytes, bytes + length);
        return Value::data(std::move(data));
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return Value::date(static_cast<double>(seconds) + static_cast<double>(microseconds) / 1e6);
    }
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return Value::dictionary({ { "CF$UID", Value::integer(static_cast<std::int64_t>(value)) } });
    }
    case PLIST_ARRAY:
        return arrayFromPlist(node, depth);
    case PLIST_DICT:
        return dictionaryFromPlist(node, depth);
    default:
        return nullptr;
    }
}

plist_t toPlist(const Value& value, int depth);

struct PlistBuilder {
    int depth;

    plist_t operator()(bool value) const { return plist_new_bool(value ? 1 : 0); }
    plist_t operator()(std::int64_t value) const { return plist_new_uint(static_cast<uint64_t>(value)); }
    plist_t operator()(double value) const { return plist_new_real(value); }
    plist_t operator()(const std::string& value) const
    {
        // The library takes C strings; a text with an embedded NUL cannot be written whole.
        if (value.find('\0') != std::string::npos)
            return nullptr;
        return plist_new_string(value.c_str());
    }
    plist_t operator()(const Data& value) const
    {
        return plist_new_data(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size());
    }
    plist_t operator()(const Date& value) const
    {
        double whole = std::floor(value.secondsSinceReferenceDate);
        if (!(whole >= static_cast<double>(std::numeric_limits<int32_t>::min()) && whole <= static_cast<double>(std::numeric_limits<int32_t>::max())))
            return nullptr;
        auto microseconds = static_cast<int32_t>(std::lround((value.secondsSinceReferenceDate - whole) * 1e6));
        if (microseconds >= 1000000) {
            if (whole >= static_cast<double>(std::numeric_limits<int32_t>::max()))
                return nullptr;
            whole += 1;
            microseconds -= 1000000;
        }
        return plist_new_date(static_cast<int32_t>(whole), microseconds);
    }
    plist_t operator()(const Array& value) const
    {
        PlistHandle array(plist_new_array());
        for (const ValuePtr& item : value) {
            plist_t node = item ? toPlist(*item, depth + 1) : nullptr;
            if (!node)
                return nullptr;
            plist_array_append_item(array.get(), node);
        }
        return array.release();
    }
    plist_t operator()(const Dictionary& value) const
    {
        PlistHandle dictionary(plist_new_dict());
        for (const auto& [key, item] : value) {
            if (key.find('\0') != std::string::npos)
                return nullptr;
            plist_t node = item ? toPlist(*item, depth + 1) : nullptr;
            if (!node)
                return nullptr;
            plist_dict_set_item(dictionary.get(), key.c_str(), node);
        }
        return dictionary.release();
    }
};

plist_t toPlist(const Value& value, int depth)
{
    if (depth > kMaximumDepth)
        return nullptr;
    return std::visit(PlistBuilder { depth }, value.storage());
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void syncFolder(const std::filesystem::path& folder)
{
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

ValuePtr rootOfKind(ValuePtr root, bool wantDictionary)
{
    if (!root)
        return nullptr;
    bool matches = wantDictionary ? root->isDictionary() : root->isArray();
    return matches ? root : nullptr;
}

// The XML reader wants a terminated buffer, which a std::string is.
ValuePtr parseTerminated(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() > kMaximumFileSize || !binaryPropertyListKeysAreSafe(bytes))
        return nullptr;
    plist_t raw = nullptr;
    plist_from_memory(bytes.c_str(), static_cast<uint32_t>(bytes.size()), &raw);
    PlistHandle root(raw);
    return fromPlist(root.get(), 0);
}

}

ValuePtr propertyListFromBytes(std::string_view bytes)
{
    if (bytes.size() > kMaximumFileSize)
        return nullptr;
    return parseTerminated(std::string(bytes));
}

ValuePtr readPropertyListFile(const std::string& filePath)
{
    std::optional<std::string> bytes = readWholeFile(filePath, kMaximumFileSize);
    if (!bytes)
        return nullptr;
    return parseTerminated(*bytes);
}

ValuePtr dictionaryWithContentsOfFile(const std::string& phonePath)
{
    return rootOfKind(readPropertyListFile(resolvePhonePath(phonePath)), true);
}

ValuePtr arrayWithContentsOfFile(const std::string& phonePath)
{
    return rootOfKind(readPropertyListFile(resolvePhonePath(phonePath)), false);
}

PropertyListFormat propertyListFormatOf(std::string_view bytes)
{
    // Only the header matters, and it is short: a longer text need not fit the length type.
    const auto header = static_cast<uint32_t>(std::min<std::size_t>(bytes.size(), 64));
    return plist_is_binary(bytes.data(), header) ? PropertyListFormat::Binary : PropertyListFormat::Xml;
}

std::optional<std::string> serializePropertyList(const Value& value, PropertyListFormat format)
{
    PlistHandle root(toPlist(value, 0));
    if (!root)
        return std::nullopt;
    char* raw = nullptr;
    uint32_t length = 0;
    if (format == PropertyListFormat::Xml)
        plist_to_xml(root.get(), &raw, &length);
    else
        plist_to_bin(root.get(), &raw, &length);
    if (!raw)
        return std::nullopt;
    std::string bytes(raw, length);
    if (format == PropertyListFormat::Xml)
        plist_to_xml_free(raw);
    else
        plist_to_bin_free(raw);
    return bytes;
}

bool writePropertyListAtomically(const Value& value, const std::string& filePath, PropertyListFormat format)
{
    std::optional<std::string> bytes = serializePropertyList(value, format);
    if (!bytes)
        return false;

    std::filesystem::path target { filePath };
    std::filesystem::path folder = target.parent_path();
    if (!target.has_filename())
        return false;
    // A hidden name beside the target: same file system, so the rename is atomic.
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;

    // Keep the permissions of the file being replaced; a new file is readable by everyone.
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(filePath.c_str(), &existing) == 0)
        mode = existing.st_mode & 07777;

    bool written = writeAll(fd, *bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    written = (::close(fd) == 0) && written;
    if (!written || ::rename(temporary.c_str(), filePath.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

}
