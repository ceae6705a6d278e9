#pragma once

#include <weeapp/sys/value.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace weeapp::sys {

// Deeper nesting of arrays and dictionaries than any real property list has; a file that nests
// deeper is unreadable, and one this deep is read and freed within a thread's smallest stack.
constexpr std::size_t kMaximumPropertyListDepth = 512;

// Property-list files, XML or binary; the format is detected when reading.
// Paths are the phone's absolute paths, resolved under the phone root (phone_root.h).

// dictionaryWithContentsOfFile: nil for a missing or unreadable file or a root that is not a
// dictionary.
ValuePtr dictionaryWithContentsOfFile(const std::string& phonePath);
// The same dictionary with only that key's entry (or none): the file is read, parsed and
// checked whole, and is nil exactly when the whole dictionary would be, but only the one value
// is made.
ValuePtr dictionaryEntryOfFile(const std::string& phonePath, std::string_view key);
// initWithContentsOfFile: of an array; nil likewise for any root but an array.
ValuePtr arrayWithContentsOfFile(const std::string& phonePath);
// The same array with only those keys' entries in each of its dictionaries: the file is read,
// parsed and checked whole, and is nil exactly when the whole array would be, but only those
// values are made (the array's other elements whole).
ValuePtr arrayWithEntriesOfFile(const std::string& phonePath, std::span<const std::string_view> keys);

// Parsing from bytes; nil for anything that is not a property list.
ValuePtr propertyListFromBytes(std::string_view bytes);

enum class PropertyListFormat { Xml,
    Binary };

// The format that a property list's bytes are in, so that a writer can keep it; bytes that are
// not a binary property list count as XML.
PropertyListFormat propertyListFormatOf(std::string_view bytes);

std::optional<std::string> serializePropertyList(const Value&, PropertyListFormat);

// Writes the file at a real file-system path (not resolved), replacing it atomically: the data
// goes to a temporary file in the same folder, is flushed to disk and renamed over the old file,
// so a reader sees the old file or the new one, never part of one. False on any failure, with the
// old file untouched.
bool writePropertyListAtomically(const Value&, const std::string& filePath, PropertyListFormat);

// Reads a property list at a real file-system path (not resolved); nil on any failure.
ValuePtr readPropertyListFile(const std::string& filePath);

}
