#pragma once

#include <cstddef>
#include <string_view>

namespace sys {

// Looks over an XML property list, once and without recursion, before the property-list library
// parses it, for what the library would let through although the phone's reader refuses the
// whole file. False when:
// - elements nest deeper than maximumDepth;
// - the bytes hold a NUL. NUL is no XML character; the library refuses it written as a
//   reference, garbles a text after a raw one and stops the process on a key that holds one;
// - an <integer>, <real> or <date> is empty or holds anything but its one number or date (the
//   library reads "42q" as 42, "1.2.3" as 1.2 and an empty date as 1970);
// - an integer needs more than 64 bits, or is one that the library reads as another number than
//   it says: with a leading zero ("010", which the library takes as octal), or with white space
//   before its minus sign;
// - text other than white space lies outside every value: after the root element, or between the
//   values of a container;
// - the document type has an internal subset (<!DOCTYPE plist [ ... ]>).
// The texts follow the property-list format: an integer in decimal with an optional sign, or in
// hexadecimal after "0x"; a real as C writes one, or inf, infinity or nan in any case; a date as
// YYYY-MM-DDTHH:MM:SSZ in years 1 to 9999, every field in its range. Integers and reals may have
// white space around them, dates none.
// Comments, CDATA sections and processing instructions are passed over as the parser passes over
// them, so elements written inside them do not count, and a CDATA section's text is part of the
// element's. Bytes that are otherwise not well-formed XML pass when they are shallow; the parser
// refuses them itself.
bool xmlPropertyListIsReadable(std::string_view bytes, std::size_t maximumDepth);

}
