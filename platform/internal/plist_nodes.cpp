#include <weeapp/sys/plist_nodes.h>

#include <array>
#include <bit>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace sys::plist_nodes {

namespace {

constexpr std::string_view kBinaryHeader = "bplist00";
constexpr unsigned char kSixteenByteInteger = 0x14;
constexpr unsigned char kEightByteDate = 0x33;

// The one object of a binary property list that the library writes for a node with nothing
// below it: its marker byte and what follows. Empty when the library writes nothing.
std::string binaryObjectOf(plist_t node)
{
    weeapp::CMemory<char> bytes;
    uint32_t length = 0;
    plist_to_bin(node, bytes.out(), &length);
    if (!bytes || length <= kBinaryHeader.size())
        return {};
    return std::string(bytes.get() + kBinaryHeader.size(), length - kBinaryHeader.size());
}

std::uint64_t bigEndianAt(std::string_view bytes, std::size_t offset)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

void appendBigEndian(std::string& bytes, std::uint64_t value, std::size_t width)
{
    for (std::size_t i = width; i-- > 0;)
        bytes += static_cast<char>(i < 8 ? (value >> (8 * i)) & 0xFF : 0);
}

// A binary property list of one object, read back by the library: the way to a node that its
// constructors cannot make.
plist_t nodeFromObject(const std::string& object)
{
    std::string bytes(kBinaryHeader);
    const std::size_t offsetTable = bytes.size() + object.size();
    bytes += object;
    bytes += static_cast<char>(kBinaryHeader.size());
    bytes.append(6, '\0');
    bytes += '\x01';              // offset width
    bytes += '\x01';              // reference width
    appendBigEndian(bytes, 1, 8); // objects
    appendBigEndian(bytes, 0, 8); // top object
    appendBigEndian(bytes, offsetTable, 8);
    plist_t node = nullptr;
    plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &node);
    return node;
}

}

double fullDateOf(plist_t dateNode)
{
    assert(plist_get_node_type(dateNode) == PLIST_DATE);
    const std::string object = binaryObjectOf(dateNode);
    if (object.size() < 9 || static_cast<unsigned char>(object[0]) != kEightByteDate) {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(dateNode, &seconds, &microseconds);
        return static_cast<double>(seconds) + static_cast<double>(microseconds) / 1e6;
    }
    return std::bit_cast<double>(bigEndianAt(object, 1));
}

bool isBeyondSignedRange(plist_t integerNode)
{
    assert(plist_get_node_type(integerNode) == PLIST_UINT);
    uint64_t value = 0;
    plist_get_uint_val(integerNode, &value);
    if (value >> 63 == 0)
        return false;
    const std::string object = binaryObjectOf(integerNode);
    return !object.empty() && static_cast<unsigned char>(object[0]) == kSixteenByteInteger;
}

plist_t newDateNode(double secondsSinceReferenceDate)
{
    std::string object(1, static_cast<char>(kEightByteDate));
    appendBigEndian(object, std::bit_cast<std::uint64_t>(secondsSinceReferenceDate), 8);
    return nodeFromObject(object);
}

plist_t newUnsignedNode(std::uint64_t value)
{
    if (value >> 63 == 0)
        return plist_new_uint(value);
    std::string object(1, static_cast<char>(kSixteenByteInteger));
    appendBigEndian(object, value, 16);
    return nodeFromObject(object);
}

}
