#pragma once

#include <cstddef>
#include <string_view>

namespace sys {

// Looks over an XML property list, once and without recursion, before the property-list library
// parses it: false when elements nest deeper than maximumDepth, or when the bytes hold a NUL.
// NUL is no XML character; the library refuses it written as a reference, garbles a text after
// a raw one and stops the process on a key that holds one, so a file with one is unreadable.
// Comments, CDATA sections and processing instructions are passed over as the parser passes
// over them, so elements written inside them do not count. Bytes that are not well-formed XML
// pass when they are shallow; the parser refuses them itself.
bool xmlPropertyListIsBounded(std::string_view bytes, std::size_t maximumDepth);

}
