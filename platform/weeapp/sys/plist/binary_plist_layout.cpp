#include <weeapp/sys/plist/binary_plist_layout.h>

#include <algorithm>
#include <cassert>
#include <limits>

namespace weeapp::sys {

namespace {

constexpr std::string_view kMagic = "bplist00";
constexpr std::uint64_t kTrailerSize = 32;
constexpr unsigned kIntegerKind = 0x1;
constexpr unsigned kAsciiTextKind = 0x5;
constexpr unsigned kUtf16TextKind = 0x6;
constexpr unsigned kArrayKind = 0xA;
constexpr unsigned kSetKind = 0xC;
constexpr unsigned kDictionaryKind = 0xD;

// A big-endian unsigned number of `width` bytes at `offset`.
std::optional<std::uint64_t> readNumber(std::string_view bytes, std::uint64_t offset, std::uint64_t width)
{
    if (width == 0 || width > 8 || offset > bytes.size() || width > bytes.size() - offset)
        return std::nullopt;
    std::uint64_t value = 0;
    for (std::uint64_t i = 0; i < width; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

void appendUtf8(std::string& text, char32_t character)
{
    if (character < 0x80) {
        text += static_cast<char>(character);
    } else if (character < 0x800) {
        text += static_cast<char>(0xC0 | (character >> 6));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        text += static_cast<char>(0xE0 | (character >> 12));
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (character >> 18));
        text += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    }
}

std::string utf8FromUtf16BigEndian(std::string_view units)
{
    constexpr char32_t kReplacement = 0xFFFD;
    auto unitAt = [units](std::size_t i) -> char32_t {
        return static_cast<char32_t>(static_cast<unsigned char>(units[2 * i]) << 8 | static_cast<unsigned char>(units[2 * i + 1]));
    };
    const std::size_t count = units.size() / 2;
    std::string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) < 0xE000) {
            appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            appendUtf8(text, kReplacement);
        } else {
            appendUtf8(text, unit);
        }
    }
    return text;
}

}

std::optional<BinaryPropertyListLayout> BinaryPropertyListLayout::scan(std::string_view bytes, std::size_t maximumDepth)
{
    if (!bytes.starts_with(kMagic) || bytes.size() < kMagic.size() + 1 + kTrailerSize)
        return std::nullopt;
    BinaryPropertyListLayout layout(bytes);
    if (!layout.readTrailer() || !layout.walk(maximumDepth))
        return std::nullopt;
    return layout;
}

bool BinaryPropertyListLayout::readTrailer()
{
    const std::uint64_t trailer = m_bytes.size() - kTrailerSize;
    const std::optional<std::uint64_t> offsetWidth = readNumber(m_bytes, trailer + 6, 1);
    const std::optional<std::uint64_t> referenceWidth = readNumber(m_bytes, trailer + 7, 1);
    const std::optional<std::uint64_t> objectCount = readNumber(m_bytes, trailer + 8, 8);
    const std::optional<std::uint64_t> topObject = readNumber(m_bytes, trailer + 16, 8);
    const std::optional<std::uint64_t> tableOffset = readNumber(m_bytes, trailer + 24, 8);
    if (!offsetWidth || !referenceWidth || !objectCount || !topObject || !tableOffset)
        return false;
    // Every object takes at least one byte between the header and the offset table, and one
    // entry in the table.
    if (*offsetWidth == 0 || *offsetWidth > 8 || *referenceWidth == 0 || *referenceWidth > 8 || *tableOffset <= kMagic.size()
        || *tableOffset > trailer || *objectCount == 0 || *objectCount > (trailer - *tableOffset) / *offsetWidth
        || *objectCount > *tableOffset - kMagic.size() || *topObject >= *objectCount)
        return false;
    m_offsetWidth = *offsetWidth;
    m_referenceWidth = *referenceWidth;
    m_objectCount = *objectCount;
    m_topObject = *topObject;
    m_tableOffset = *tableOffset;
    return true;
}

// A depth-first walk with its own stack of the containers on the current path. Each container
// reads its references once, when it is first reached; one reached again is folded in from what
// its first walk found. A container reached again while it is still on the path is a cycle.
bool BinaryPropertyListLayout::walk(std::size_t maximumDepth)
{
    constexpr std::uint16_t kUnvisited = std::numeric_limits<std::uint16_t>::max();
    constexpr std::uint16_t kOnPath = kUnvisited - 1;
    if (maximumDepth >= kOnPath)
        return false;
    const std::uint32_t nodeLimit = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_bytes.size(), std::numeric_limits<std::uint32_t>::max() - 1));

    // For each object walked: the containers on its longest path down, itself included, and the
    // nodes of its tree, counted up to one past the limit.
    std::vector<std::uint16_t> depth(m_objectCount, kUnvisited);
    m_objects.assign(m_objectCount, ObjectInfo {});
    std::vector<std::uint32_t> nodes(m_objectCount, 0);
    struct Step {
        std::uint64_t object;
        std::uint64_t references;
        std::uint64_t next;
        std::uint32_t nodes;
        std::uint16_t depth;
    };
    std::vector<Step> path;

    auto fold = [&](Step& parent, std::uint64_t child) {
        parent.nodes = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t { parent.nodes } + nodes[child], std::uint64_t { nodeLimit } + 1));
        parent.depth = std::max<std::uint16_t>(parent.depth, static_cast<std::uint16_t>(depth[child] + 1));
    };
    // False for an object that cannot be part of a sound file.
    auto enter = [&](std::uint64_t object) {
        if (object >= m_objectCount || depth[object] == kOnPath)
            return false;
        if (depth[object] != kUnvisited)
            return true;
        if (!readObject(object))
            return false;
        if (isArray(object) || isDictionary(object)) {
            const std::optional<std::uint64_t> references = referenceCount(object);
            if (!references || path.size() >= maximumDepth)
                return false;
            depth[object] = kOnPath;
            path.push_back({ object, *references, 0, 1, 1 });
            return true;
        }
        if (isText(object)) {
            const std::optional<Extent> extent = extentOf(object);
            const std::uint64_t unit = kindOf(object) == kUtf16TextKind ? 2 : 1;
            if (!extent || extent->start > m_tableOffset || extent->count > (m_tableOffset - extent->start) / unit)
                return false;
        }
        depth[object] = 0;
        nodes[object] = 1;
        return true;
    };

    if (!enter(m_topObject))
        return false;
    while (!path.empty()) {
        Step& step = path.back();
        if (step.next < step.references) {
            const std::uint64_t child = reference(step.object, step.next++);
            if (!enter(child))
                return false;
            if (depth[child] != kOnPath)
                fold(path.back(), child);
            continue;
        }
        const Step finished = step;
        path.pop_back();
        depth[finished.object] = finished.depth;
        nodes[finished.object] = finished.nodes;
        if (finished.depth + path.size() > maximumDepth || finished.nodes > nodeLimit)
            return false;
        if (!path.empty())
            fold(path.back(), finished.object);
    }
    return depth[m_topObject] <= maximumDepth && nodes[m_topObject] <= nodeLimit;
}

std::optional<std::uint64_t> BinaryPropertyListLayout::objectOffset(std::uint64_t object) const
{
    const std::optional<std::uint64_t> offset = readNumber(m_bytes, m_tableOffset + object * m_offsetWidth, m_offsetWidth);
    if (!offset || *offset < kMagic.size() || *offset >= m_tableOffset)
        return std::nullopt;
    return offset;
}

bool BinaryPropertyListLayout::readObject(std::uint64_t object)
{
    const std::optional<std::uint64_t> offset = objectOffset(object);
    if (!offset)
        return false;
    ObjectInfo& info = m_objects[object];
    const auto marker = static_cast<unsigned char>(m_bytes[*offset]);
    info.kind = static_cast<std::uint8_t>(marker >> 4);
    if (info.kind != kArrayKind && info.kind != kSetKind && info.kind != kDictionaryKind && info.kind != kAsciiTextKind && info.kind != kUtf16TextKind)
        return true;
    // The low half of the first byte is the count, or, when that is 0xF, the integer object
    // that follows.
    if ((marker & 0xF) != 0xF) {
        info.start = *offset + 1;
        info.count = marker & 0xFu;
        info.hasExtent = true;
        return true;
    }
    const std::optional<std::uint64_t> countMarker = readNumber(m_bytes, *offset + 1, 1);
    if (!countMarker || *countMarker >> 4 != kIntegerKind || (*countMarker & 0xF) > 3)
        return true;
    const std::uint64_t width = std::uint64_t { 1 } << (*countMarker & 0xF);
    const std::optional<std::uint64_t> count = readNumber(m_bytes, *offset + 2, width);
    if (!count)
        return true;
    info.start = *offset + 2 + width;
    info.count = *count;
    info.hasExtent = true;
    return true;
}

// 0 for an object the walk has not read (none that the top reaches, once the scan succeeded).
unsigned BinaryPropertyListLayout::kindOf(std::uint64_t object) const
{
    if (object >= m_objects.size() || m_objects[object].kind == kUnread)
        return 0;
    return m_objects[object].kind;
}

bool BinaryPropertyListLayout::isArray(std::uint64_t object) const
{
    const unsigned kind = kindOf(object);
    return kind == kArrayKind || kind == kSetKind;
}

bool BinaryPropertyListLayout::isDictionary(std::uint64_t object) const
{
    return kindOf(object) == kDictionaryKind;
}

bool BinaryPropertyListLayout::isText(std::uint64_t object) const
{
    const unsigned kind = kindOf(object);
    return kind == kAsciiTextKind || kind == kUtf16TextKind;
}

// Where an array's, a dictionary's or a text's contents start and how many items (entries,
// bytes, units) it has.
std::optional<BinaryPropertyListLayout::Extent> BinaryPropertyListLayout::extentOf(std::uint64_t object) const
{
    if (object >= m_objects.size() || !m_objects[object].hasExtent)
        return std::nullopt;
    return Extent { m_objects[object].start, m_objects[object].count };
}

std::optional<std::uint64_t> BinaryPropertyListLayout::referenceCount(std::uint64_t object) const
{
    const std::optional<Extent> extent = extentOf(object);
    if (!extent || extent->start > m_tableOffset)
        return std::nullopt;
    const std::uint64_t room = (m_tableOffset - extent->start) / m_referenceWidth;
    const std::uint64_t perItem = isDictionary(object) ? 2 : 1;
    if (extent->count > room / perItem)
        return std::nullopt;
    return extent->count * perItem;
}

std::uint64_t BinaryPropertyListLayout::reference(std::uint64_t object, std::uint64_t index) const
{
    const std::optional<Extent> extent = extentOf(object);
    const std::optional<std::uint64_t> target = extent ? readNumber(m_bytes, extent->start + index * m_referenceWidth, m_referenceWidth) : std::nullopt;
    return target.value_or(m_objectCount);
}

std::uint64_t BinaryPropertyListLayout::itemCount(std::uint64_t object) const
{
    if (!isArray(object) && !isDictionary(object))
        return 0;
    const std::optional<Extent> extent = extentOf(object);
    return extent ? extent->count : 0;
}

std::uint64_t BinaryPropertyListLayout::item(std::uint64_t array, std::uint64_t index) const
{
    // Callers ask for items only of an object they found to be an array (the index may pass its
    // end when the parse and the file disagree; reference() answers that with no object).
    assert(isArray(array));
    return reference(array, index);
}

std::uint64_t BinaryPropertyListLayout::key(std::uint64_t dictionary, std::uint64_t index) const
{
    return reference(dictionary, index);
}

std::uint64_t BinaryPropertyListLayout::value(std::uint64_t dictionary, std::uint64_t index) const
{
    return reference(dictionary, itemCount(dictionary) + index);
}

std::string BinaryPropertyListLayout::text(std::uint64_t object) const
{
    const std::optional<Extent> extent = isText(object) ? extentOf(object) : std::nullopt;
    const std::uint64_t unit = kindOf(object) == kUtf16TextKind ? 2 : 1;
    if (!extent || extent->start > m_tableOffset || extent->count > (m_tableOffset - extent->start) / unit)
        return {};
    if (unit == 1)
        return std::string(m_bytes.substr(extent->start, extent->count));
    return utf8FromUtf16BigEndian(m_bytes.substr(extent->start, 2 * extent->count));
}

}
