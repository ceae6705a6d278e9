#include "sys/binary_plist_texts.h"

#include <cstdint>
#include <optional>

namespace sys {

namespace {

constexpr std::string_view kMagic = "bplist";
constexpr std::size_t kTrailerSize = 32;
constexpr unsigned kAsciiText = 0x5;
constexpr unsigned kUtf16Text = 0x6;
constexpr unsigned kIntegerMarker = 0x1;

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

// A text object at `offset`: its first byte's low half is the length, or 0xF when an integer
// object with the length follows. Gives the offset and count of its characters.
struct TextExtent {
    std::uint64_t start;
    std::uint64_t count;
};
std::optional<TextExtent> textExtent(std::string_view bytes, std::uint64_t offset)
{
    const auto marker = static_cast<unsigned char>(bytes[offset]);
    if ((marker & 0xF) != 0xF)
        return TextExtent { offset + 1, marker & 0xFu };
    const std::optional<std::uint64_t> lengthMarker = readNumber(bytes, offset + 1, 1);
    if (!lengthMarker || *lengthMarker >> 4 != kIntegerMarker || (*lengthMarker & 0xF) > 3)
        return std::nullopt;
    const std::uint64_t width = std::uint64_t { 1 } << (*lengthMarker & 0xF);
    const std::optional<std::uint64_t> count = readNumber(bytes, offset + 2, width);
    if (!count)
        return std::nullopt;
    return TextExtent { offset + 2 + width, *count };
}

bool textIsClean(std::string_view bytes, std::uint64_t offset)
{
    const unsigned kind = static_cast<unsigned char>(bytes[offset]) >> 4;
    if (kind != kAsciiText && kind != kUtf16Text)
        return true;
    const std::optional<TextExtent> extent = textExtent(bytes, offset);
    if (!extent)
        return false;
    const std::uint64_t unit = kind == kUtf16Text ? 2 : 1;
    if (extent->start > bytes.size() || extent->count > (bytes.size() - extent->start) / unit)
        return false;
    for (std::uint64_t i = 0; i < extent->count; ++i) {
        const std::string_view character = bytes.substr(extent->start + i * unit, unit);
        if (character.find_first_not_of('\0') == std::string_view::npos)
            return false;
    }
    return true;
}

}

bool binaryPropertyListTextsAreClean(std::string_view bytes)
{
    if (!bytes.starts_with(kMagic))
        return true;
    if (bytes.size() < kMagic.size() + 2 + kTrailerSize)
        return false;
    const std::uint64_t trailer = bytes.size() - kTrailerSize;
    const std::optional<std::uint64_t> offsetWidth = readNumber(bytes, trailer + 6, 1);
    const std::optional<std::uint64_t> objectCount = readNumber(bytes, trailer + 8, 8);
    const std::optional<std::uint64_t> tableOffset = readNumber(bytes, trailer + 24, 8);
    if (!offsetWidth || !objectCount || !tableOffset || *offsetWidth == 0 || *offsetWidth > 8 || *tableOffset > trailer
        || *objectCount > (trailer - *tableOffset) / *offsetWidth)
        return false;
    for (std::uint64_t i = 0; i < *objectCount; ++i) {
        const std::optional<std::uint64_t> offset = readNumber(bytes, *tableOffset + i * *offsetWidth, *offsetWidth);
        if (!offset || *offset >= trailer)
            return false;
        if (!textIsClean(bytes, *offset))
            return false;
    }
    return true;
}

}
