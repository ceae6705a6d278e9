#pragma once

#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace weeapp::sys {

// A property-list file with a dictionary at its root, as a writer that changes some of its
// entries holds it: the property-list library's own tree of the file, so that every value it
// does not change is written back as the file had it, in the file's format and key order.
class PropertyListDocument {
public:
    // Nothing unless the bytes are a property list that the readers read, with a dictionary at
    // its root.
    static std::optional<PropertyListDocument> fromBytes(std::string_view bytes);
    // No entries, written as XML.
    static PropertyListDocument empty();

    PropertyListDocument(PropertyListDocument&&) noexcept;
    PropertyListDocument& operator=(PropertyListDocument&&) noexcept;
    ~PropertyListDocument();

    PropertyListFormat format() const { return m_format; }
    void setFormat(PropertyListFormat format) { m_format = format; }

    // The entries as the readers read them.
    const Dictionary& values() const { return m_values; }
    ValuePtr value(std::string_view key) const;

    // A new key goes after the others; an existing one keeps its place. The value is never nil.
    void set(const std::string& key, ValuePtr value);
    // False when there was no such key.
    bool remove(std::string_view key);

    // Why the document cannot be written back as it was read: the entry of the root dictionary
    // that would change, and the kind of the value in it that the library cannot carry through.
    struct CarryFailure {
        std::string key;
        std::string kind;
    };
    // The file's new bytes, which read back as values() exactly: every value of the same kind and
    // the same value (reals and dates to the bit), or the first entry that would not.
    std::variant<std::string, CarryFailure> serialize() const;

private:
    struct Tree;
    PropertyListDocument(std::unique_ptr<Tree>, Dictionary, PropertyListFormat);

    std::unique_ptr<Tree> m_tree;
    Dictionary m_values;
    PropertyListFormat m_format { PropertyListFormat::Xml };
    // Keys given values that the library cannot hold (a text with a NUL, say).
    std::vector<std::string> m_unheld;
};

// The name of a value's kind, for messages: "boolean", "integer", "real", "text", "data",
// "date", "UID", "array" or "dictionary".
std::string kindName(const Value&);

// Equal to the bit: the same kinds, reals and dates with the same bits, containers equal
// throughout. Value's operator== takes 0.0 and -0.0 as equal, and no NaN as equal to itself.
bool identicalValues(const ValuePtr&, const ValuePtr&);

}
