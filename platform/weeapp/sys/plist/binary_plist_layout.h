#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace weeapp::sys {

// The object graph of a binary property list, looked over once, without recursion and in time
// proportional to the file's size, before the property-list library parses the file. The
// library recurses once per level of nesting and expands every shared object at each use, so a
// file is only handed to it when its graph is known to be small and shallow. After the parse
// the layout names the object behind every node, so texts can be read from the file's own bytes
// with every NUL kept (the library cuts 8-bit texts at a NUL and stops the process on a
// dictionary key that holds one).
class BinaryPropertyListLayout {
public:
    // Nothing unless every object reachable from the top object lies inside the file, the
    // references form no cycle, no path from the top passes through more than maximumDepth
    // arrays and dictionaries, and the tree the parser would build (a shared object counted at
    // each use) has no more nodes than the file has bytes: every node but the top takes at
    // least a one-byte reference, so only a file that shares its containers can ask for more.
    static std::optional<BinaryPropertyListLayout> scan(std::string_view bytes, std::size_t maximumDepth);

    std::uint64_t topObject() const { return m_topObject; }
    bool isArray(std::uint64_t object) const;
    bool isDictionary(std::uint64_t object) const;
    bool isText(std::uint64_t object) const;
    // Items of an array, entries of a dictionary; 0 for any other object.
    std::uint64_t itemCount(std::uint64_t object) const;
    // The object of an array's item, or of a dictionary entry's key or value.
    std::uint64_t item(std::uint64_t array, std::uint64_t index) const;
    std::uint64_t key(std::uint64_t dictionary, std::uint64_t index) const;
    std::uint64_t value(std::uint64_t dictionary, std::uint64_t index) const;
    // A text object as UTF-8, NULs included; an unpaired UTF-16 surrogate becomes U+FFFD.
    std::string text(std::uint64_t object) const;

private:
    struct Extent {
        std::uint64_t start;
        std::uint64_t count;
    };
    // What the walk read of an object, once: its kind, and for an array, a dictionary or a text
    // where its contents start and how many items they have.
    struct ObjectInfo {
        std::uint64_t start { 0 };
        std::uint64_t count { 0 };
        std::uint8_t kind { kUnread };
        bool hasExtent { false };
    };
    static constexpr std::uint8_t kUnread = 0xFF;

    explicit BinaryPropertyListLayout(std::string_view bytes)
        : m_bytes(bytes) { }
    bool readTrailer();
    bool walk(std::size_t maximumDepth);
    std::optional<std::uint64_t> objectOffset(std::uint64_t object) const;
    // Reads the object's kind and extent from the file into m_objects; false for an object
    // outside the file.
    bool readObject(std::uint64_t object);
    unsigned kindOf(std::uint64_t object) const;
    std::optional<Extent> extentOf(std::uint64_t object) const;
    // How many references an array or dictionary object holds (a dictionary's keys and values),
    // nothing for another kind or one whose references do not fit before the offset table.
    std::optional<std::uint64_t> referenceCount(std::uint64_t object) const;
    std::uint64_t reference(std::uint64_t object, std::uint64_t index) const;

    std::string_view m_bytes;
    std::uint64_t m_offsetWidth { 0 };
    std::uint64_t m_referenceWidth { 0 };
    std::uint64_t m_objectCount { 0 };
    std::uint64_t m_topObject { 0 };
    std::uint64_t m_tableOffset { 0 };
    std::vector<ObjectInfo> m_objects;
};

}
