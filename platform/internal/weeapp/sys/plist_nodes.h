#pragma once

// The property-list library's nodes as the platform uses them inside; never installed, since it
// speaks the library's own types.

#include <weeapp/c_handles.h>
#include <weeapp/sys/binary_plist_layout.h>
#include <weeapp/sys/value.h>

#include <plist/plist.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace sys::plist_nodes {

// The date a node holds, to the microsecond and of any year: the library's own getter cuts it
// to 32 bits of seconds.
double fullDateOf(plist_t dateNode);
// Whether an integer node holds 2^63 or more, which the library's getter gives in the same
// 64 bits as a negative number.
bool isBeyondSignedRange(plist_t integerNode);
// Nodes for what the library's constructors cannot make: a date outside 32 bits of seconds, an
// integer of 2^63 or more. Null when the library refuses.
plist_t newDateNode(double secondsSinceReferenceDate);
plist_t newUnsignedNode(std::uint64_t);

// A node and its subtree for a value; null for a value the library cannot hold (a text or key
// with a NUL, nesting past the bound).
plist_t nodeOf(const Value&);

// Bytes parsed by the library once they are known to be bounded: an XML file converted to
// UTF-8 from the encoding it declares, shallow and small, a binary file's graph scanned. A null
// root for anything that is not such a property list.
struct ParsedTree {
    std::unique_ptr<const std::string> bytes; // what the parser read, which the layout refers to
    std::optional<BinaryPropertyListLayout> layout;
    weeapp::PlistNode root;
};
ParsedTree parseBounded(std::string_view fileBytes);

// The tree as values, whole; null when some node does not convert.
ValuePtr valueOfTree(const ParsedTree&);

}
