#include "sys/binary_plist_keys.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace sys {

namespace {

constexpr std::string_view kMagic = "bplist";
constexpr std::size_t kTrailerSize = 32;
constexpr unsigned kIntegerObject = 0x1;
constexpr unsigned kUtf16TextObject = 0x6;
constexpr unsigned kDictionaryObject = 0xD;

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

// Where an object's contents start and how many items (characters, entries) it has: the low
// half of its first byte, or 0xF when an integer object with the count follows.
struct Extent {
    std::uint64_t start;
    std::uint64_t count;
};
std::optional<Extent> extentAt(std::string_view bytes, std::uint64_t offset)
{
    const auto marker = static_cast<unsigned char>(bytes[offset]);
    if ((marker & 0xF) != 0xF)
        return Extent { offset + 1, marker & 0xFu };
    const std::optional<std::uint64_t> countMarker = readNumber(bytes, offset + 1, 1);
    if (!countMarker || *countMarker >> 4 != kIntegerObject || (*countMarker & 0xF) > 3)
        return std::nullopt;
    const std::uint64_t width = std::uint64_t { 1 } << (*countMarker & 0xF);
    const std::optional<std::uint64_t> count = readNumber(bytes, offset + 2, width);
    if (!count)
        return std::nullopt;
    return Extent { offset + 2 + width, *count };
}

class KeyScan {
public:
    explicit KeyScan(std::string_view bytes) : m_bytes(bytes), m_budget(2 * bytes.size()) { }

    bool run()
    {
        const std::uint64_t trailer = m_bytes.size() - kTrailerSize;
        const std::optional<std::uint64_t> offsetWidth = readNumber(m_bytes, trailer + 6, 1);
        const std::optional<std::uint64_t> referenceWidth = readNumber(m_bytes, trailer + 7, 1);
        const std::optional<std::uint64_t> objectCount = readNumber(m_bytes, trailer + 8, 8);
        const std::optional<std::uint64_t> tableOffset = readNumber(m_bytes, trailer + 24, 8);
        if (!offsetWidth || !referenceWidth || !objectCount || !tableOffset || *offsetWidth == 0 || *offsetWidth > 8
            || *referenceWidth == 0 || *referenceWidth > 8 || *tableOffset > trailer
            || *objectCount > (trailer - *tableOffset) / *offsetWidth)
            return false;
        m_trailer = trailer;
        m_offsetWidth = *offsetWidth;
        m_referenceWidth = *referenceWidth;
        m_objectCount = *objectCount;
        m_tableOffset = *tableOffset;
        m_keyChecked.assign(m_objectCount, false);

        for (std::uint64_t index = 0; index < m_objectCount; ++index) {
            const std::optional<std::uint64_t> offset = objectOffset(index);
            if (!offset)
                return false;
            if (static_cast<unsigned char>(m_bytes[*offset]) >> 4 == kDictionaryObject && !dictionaryKeysAreSafe(*offset))
                return false;
        }
        return true;
    }

private:
    std::optional<std::uint64_t> objectOffset(std::uint64_t index) const
    {
        const std::optional<std::uint64_t> offset = readNumber(m_bytes, m_tableOffset + index * m_offsetWidth, m_offsetWidth);
        if (!offset || *offset >= m_trailer)
            return std::nullopt;
        return offset;
    }

    // The objects of a well-formed file do not overlap, so walking them all reads each byte at
    // most once, and each key is looked at once: a file that asks for more work than twice its
    // size is not well formed.
    bool spend(std::uint64_t work)
    {
        if (work > m_budget)
            return false;
        m_budget -= work;
        return true;
    }

    bool dictionaryKeysAreSafe(std::uint64_t offset)
    {
        const std::optional<Extent> entries = extentAt(m_bytes, offset);
        if (!entries || entries->start > m_trailer || entries->count > (m_trailer - entries->start) / m_referenceWidth
            || !spend(entries->count * m_referenceWidth))
            return false;
        for (std::uint64_t i = 0; i < entries->count; ++i) {
            const std::optional<std::uint64_t> key = readNumber(m_bytes, entries->start + i * m_referenceWidth, m_referenceWidth);
            if (!key || *key >= m_objectCount)
                return false;
            if (m_keyChecked[*key])
                continue;
            m_keyChecked[*key] = true;
            if (!keyIsSafe(*key))
                return false;
        }
        return true;
    }

    bool keyIsSafe(std::uint64_t index)
    {
        const std::optional<std::uint64_t> offset = objectOffset(index);
        if (!offset)
            return false;
        if (static_cast<unsigned char>(m_bytes[*offset]) >> 4 != kUtf16TextObject)
            return true;
        const std::optional<Extent> text = extentAt(m_bytes, *offset);
        if (!text || text->start > m_trailer || text->count > (m_trailer - text->start) / 2 || !spend(text->count * 2))
            return false;
        for (std::uint64_t i = 0; i < text->count; ++i) {
            if (m_bytes[text->start + 2 * i] == '\0' && m_bytes[text->start + 2 * i + 1] == '\0')
                return false;
        }
        return true;
    }

    std::string_view m_bytes;
    std::uint64_t m_budget;
    std::uint64_t m_trailer { 0 };
    std::uint64_t m_offsetWidth { 0 };
    std::uint64_t m_referenceWidth { 0 };
    std::uint64_t m_objectCount { 0 };
    std::uint64_t m_tableOffset { 0 };
    std::vector<bool> m_keyChecked;
};

}

bool binaryPropertyListKeysAreSafe(std::string_view bytes)
{
    if (!bytes.starts_with(kMagic))
        return true;
    if (bytes.size() < kMagic.size() + 2 + kTrailerSize)
        return false;
    return KeyScan(bytes).run();
}

}
