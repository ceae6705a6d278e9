#include <weeapp/sys/property_list.h>

#include <weeapp/sys/binary_plist_layout.h>
#include <weeapp/sys/file_reading.h>
#include <weeapp/sys/file_writing.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/plist_nodes.h>
#include <weeapp/sys/xml_encoding.h>
#include <weeapp/sys/xml_plist_scan.h>

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace sys {

namespace {

// Property lists are small; anything this big is not one of ours.
constexpr std::uintmax_t kMaximumFileSize = 64u << 20;
// An XML file's containers lie inside its plist element, and its innermost value is an element.
constexpr std::size_t kXmlElementsAroundContainers = 2;

bool isContainer(plist_t node)
{
    const plist_type type = plist_get_node_type(node);
    return type == PLIST_ARRAY || type == PLIST_DICT;
}

// Whichever of the file's texts a node stands for: from the binary file's own bytes when its
// layout is known, else from the parser, by length.
std::optional<std::string> textOf(plist_t node, const BinaryPropertyListLayout* layout, std::uint64_t object)
{
    if (layout)
        return layout->isText(object) ? std::optional(layout->text(object)) : std::nullopt;
    if (plist_get_node_type(node) == PLIST_KEY) {
        // The XML scan has refused every key with a NUL, which this call would stop on.
        weeapp::CMemory<char> text;
        plist_get_key_val(node, text.out());
        return text ? std::string(text.get()) : std::string();
    }
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? std::string(text, length) : std::string();
}

ValuePtr scalarFromPlist(plist_t node, const BinaryPropertyListLayout* layout, std::uint64_t object)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return Value::boolean(value != 0);
    }
    case PLIST_UINT: {
        // The library keeps every integer as unsigned 64 bits; negative ones come back in
        // two's complement, and only the node knows which of the two a high bit means.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        if (plist_nodes::isBeyondSignedRange(node))
            return Value::unsignedInteger(value);
        return Value::integer(static_cast<std::int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return Value::real(value);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        std::optional<std::string> text = textOf(node, layout, object);
        return text ? Value::string(std::move(*text)) : nullptr;
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
        std::vector<std::uint8_t> data;
        if (bytes && length > 0)
            data.assign(bytes, bytes + length);
        return Value::data(std::move(data));
    }
    case PLIST_DATE:
        return Value::date(plist_nodes::fullDateOf(node));
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return Value::uid(value);
    }
    default:
        return nullptr;
    }
}

// Whether scalarFromPlist would give a value for the node, without making it.
bool isConvertibleScalar(plist_t node, const BinaryPropertyListLayout* layout, std::uint64_t object)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN:
    case PLIST_UINT:
    case PLIST_REAL:
    case PLIST_DATA:
    case PLIST_DATE:
    case PLIST_UID:
        return true;
    case PLIST_STRING:
    case PLIST_KEY:
        return !layout || layout->isText(object);
    default:
        return false;
    }
}

// One array or dictionary being read: the library's iterator over it, the file object behind
// it when the file is binary, and what has been read so far.
class ContainerReading {
public:
    ContainerReading(plist_t node, const BinaryPropertyListLayout* layout, std::uint64_t object, bool discards = false)
        : m_node(node)
        , m_isDictionary(plist_get_node_type(node) == PLIST_DICT)
        , m_discards(discards)
        , m_layout(layout)
        , m_object(object)
    {
        if (m_isDictionary)
            plist_dict_new_iter(node, m_iterator.out());
        else
            plist_array_new_iter(node, m_iterator.out());
    }
    ContainerReading(ContainerReading&& other) noexcept
        : m_node(other.m_node)
        , m_isDictionary(other.m_isDictionary)
        , m_discards(other.m_discards)
        , m_layout(other.m_layout)
        , m_object(other.m_object)
        , m_iterator(std::move(other.m_iterator))
        , m_position(other.m_position)
        , m_items(std::move(other.m_items))
        , m_entries(std::move(other.m_entries))
        , m_key(std::move(other.m_key))
    {
    }
    ContainerReading(const ContainerReading&) = delete;
    ContainerReading& operator=(const ContainerReading&) = delete;
    ContainerReading& operator=(ContainerReading&&) = delete;

    // The file matches what the parser made of it: a node of the kind of its object.
    bool matchesLayout() const
    {
        if (!m_layout)
            return true;
        return m_isDictionary ? m_layout->isDictionary(m_object) : m_layout->isArray(m_object);
    }

    struct Child {
        plist_t node;
        std::uint64_t object;
    };
    // The next item, or the next entry's value with its key kept for add; a null node once
    // every child has been read, and nothing when the file and the parse disagree.
    std::optional<Child> next()
    {
        if (!m_iterator)
            return std::nullopt;
        plist_t item = nullptr;
        std::uint64_t object = 0;
        if (!m_isDictionary) {
            plist_array_next_item(m_node, m_iterator.get(), &item);
            if (m_layout && item)
                object = m_layout->item(m_object, m_position);
        } else if (!m_layout && m_discards) {
            // Only checked, so the key is not copied out: a key the library could give is one
            // that is a key node.
            plist_dict_next_item(m_node, m_iterator.get(), nullptr, &item);
            if (item && plist_get_node_type(plist_dict_item_get_key(item)) != PLIST_KEY)
                return std::nullopt;
        } else if (!m_layout) {
            weeapp::CMemory<char> key;
            plist_dict_next_item(m_node, m_iterator.get(), key.out(), &item);
            if (item && !key)
                return std::nullopt;
            m_key = item ? std::string(key.get()) : std::string();
        } else {
            // Not through the library's key reading, which stops the process on a key with a NUL.
            plist_dict_next_item(m_node, m_iterator.get(), nullptr, &item);
            if (item) {
                const std::uint64_t keyObject = m_layout->key(m_object, m_position);
                if (!m_layout->isText(keyObject))
                    return std::nullopt;
                m_key = m_layout->text(keyObject);
                object = m_layout->value(m_object, m_position);
            }
        }
        if (m_layout && (item ? m_position >= m_layout->itemCount(m_object) : m_position != m_layout->itemCount(m_object)))
            return std::nullopt;
        if (item)
            ++m_position;
        return Child { item, object };
    }

    bool isDictionary() const { return m_isDictionary; }
    // The key of the entry that next() gave last.
    const std::string& key() const { return m_key; }
    // A container that is read through, its contents checked as they would be converted, but
    // kept nowhere.
    bool discards() const { return m_discards; }

    void add(ValuePtr value)
    {
        if (m_discards)
            return;
        if (!m_isDictionary) {
            m_items.push_back(std::move(value));
            return;
        }
        // The writers keep their keys sorted, so the hint is nearly always right.
        m_entries.insert_or_assign(m_entries.end(), std::move(m_key), std::move(value));
    }

    ValuePtr finish()
    {
        if (m_discards)
            return nullptr;
        return m_isDictionary ? Value::dictionary(std::move(m_entries)) : Value::array(std::move(m_items));
    }

private:
    plist_t m_node;
    bool m_isDictionary;
    bool m_discards;
    const BinaryPropertyListLayout* m_layout;
    std::uint64_t m_object;
    weeapp::CMemory<void> m_iterator;
    std::uint64_t m_position { 0 };
    Array m_items;
    Dictionary m_entries;
    std::string m_key;
};

// Which entries of the tree are made: all, by default; with rootKey, only that entry of a root
// dictionary; with elementKeys, only those entries of the dictionaries in a root array; with
// checksOnly, none.
struct EntrySelection {
    const std::string_view* rootKey { nullptr };
    std::span<const std::string_view> elementKeys;
    bool checksOnly { false };
};

// The parsed tree as values, read with the library's iterators and a stack of our own, so that
// the work is linear in the tree's size and the depth costs no native stack. The entries that
// the selection leaves out are still read through and checked, so the tree converts or fails
// exactly as it would whole, but none of them is made. Nothing when the tree does not convert;
// with checksOnly, a null value when it does.
std::optional<ValuePtr> readTree(plist_t root, const BinaryPropertyListLayout* layout, EntrySelection selection)
{
    const std::uint64_t top = layout ? layout->topObject() : 0;
    if (!root)
        return std::nullopt;
    if (!isContainer(root)) {
        ValuePtr value = scalarFromPlist(root, layout, top);
        return value ? std::optional(selection.checksOnly ? nullptr : std::move(value)) : std::nullopt;
    }
    std::vector<ContainerReading> path;
    path.emplace_back(root, layout, top, selection.checksOnly);
    if (!path.back().matchesLayout())
        return std::nullopt;
    // Whether the child that next() gave last is kept.
    const auto keepsChild = [&path, selection] {
        const ContainerReading& container = path.back();
        if (container.discards())
            return false;
        if (!container.isDictionary())
            return true;
        if (selection.rootKey && path.size() == 1)
            return container.key() == *selection.rootKey;
        if (!selection.elementKeys.empty() && path.size() == 2 && !path.front().isDictionary())
            return std::find(selection.elementKeys.begin(), selection.elementKeys.end(), container.key()) != selection.elementKeys.end();
        return true;
    };
    while (true) {
        const std::optional<ContainerReading::Child> child = path.back().next();
        if (!child)
            return std::nullopt;
        ValuePtr value;
        if (!child->node) {
            const bool discarded = path.back().discards();
            value = path.back().finish();
            path.pop_back();
            if (path.empty())
                return value;
            if (discarded)
                continue;
        } else if (isContainer(child->node)) {
            if (path.size() >= kMaximumPropertyListDepth)
                return std::nullopt;
            const bool discards = !keepsChild();
            path.emplace_back(child->node, layout, child->object, discards);
            if (!path.back().matchesLayout())
                return std::nullopt;
            continue;
        } else if (keepsChild()) {
            value = scalarFromPlist(child->node, layout, child->object);
            if (!value)
                return std::nullopt;
        } else {
            if (!isConvertibleScalar(child->node, layout, child->object))
                return std::nullopt;
            continue;
        }
        path.back().add(std::move(value));
    }
}

ValuePtr fromPlist(plist_t root, const BinaryPropertyListLayout* layout, EntrySelection selection = {})
{
    return readTree(root, layout, selection).value_or(nullptr);
}

// One entry of an XML file's root dictionary, the whole tree checked as it would convert. The
// parser keeps one entry a key, a later one replacing an earlier, so the library's own look-up
// finds the entry the whole dictionary has, without a key of every entry copied out to compare.
// The file's keys hold no NUL (the scan refused it), so a key with one is in no dictionary.
ValuePtr xmlDictionaryEntry(plist_t root, std::string_view key)
{
    if (!root || plist_get_node_type(root) != PLIST_DICT || !readTree(root, nullptr, { .rootKey = nullptr, .elementKeys = {}, .checksOnly = true }))
        return nullptr;
    Dictionary entries;
    const std::string wanted(key);
    if (wanted.find('\0') == std::string::npos) {
        if (plist_t found = plist_dict_get_item(root, wanted.c_str())) {
            ValuePtr value = fromPlist(found, nullptr);
            if (!value)
                return nullptr;
            entries.emplace(wanted, std::move(value));
        }
    }
    return Value::dictionary(std::move(entries));
}

plist_t toPlist(const Value& value, int depth);

struct PlistBuilder {
    int depth;

    plist_t operator()(bool value) const { return plist_new_bool(value ? 1 : 0); }
    plist_t operator()(std::int64_t value) const { return plist_new_uint(static_cast<uint64_t>(value)); }
    plist_t operator()(std::uint64_t value) const { return plist_nodes::newUnsignedNode(value); }
    plist_t operator()(Uid value) const { return plist_new_uid(value.value); }
    plist_t operator()(double value) const { return plist_new_real(value); }
    plist_t operator()(const std::string& value) const
    {
        // The library takes C strings; a text with an embedded NUL cannot be written whole.
        if (value.find('\0') != std::string::npos)
            return nullptr;
        return plist_new_string(value.c_str());
    }
    plist_t operator()(const Data& value) const
    {
        return plist_new_data(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size());
    }
    plist_t operator()(const Date& value) const { return plist_nodes::newDateNode(value.secondsSinceReferenceDate); }
    plist_t operator()(const Array& value) const
    {
        weeapp::PlistNode array(plist_new_array());
        for (const ValuePtr& item : value) {
            plist_t node = item ? toPlist(*item, depth + 1) : nullptr;
            if (!node)
                return nullptr;
            plist_array_append_item(array.get(), node);
        }
        return array.release();
    }
    plist_t operator()(const Dictionary& value) const
    {
        weeapp::PlistNode dictionary(plist_new_dict());
        for (const auto& [key, item] : value) {
            if (key.find('\0') != std::string::npos)
                return nullptr;
            plist_t node = item ? toPlist(*item, depth + 1) : nullptr;
            if (!node)
                return nullptr;
            plist_dict_set_item(dictionary.get(), key.c_str(), node);
        }
        return dictionary.release();
    }
};

plist_t toPlist(const Value& value, int depth)
{
    if (depth > static_cast<int>(kMaximumPropertyListDepth))
        return nullptr;
    return std::visit(PlistBuilder { depth }, value.storage());
}

ValuePtr rootOfKind(ValuePtr root, bool wantDictionary)
{
    if (!root)
        return nullptr;
    bool matches = wantDictionary ? root->isDictionary() : root->isArray();
    return matches ? root : nullptr;
}

// The UID that a dictionary of the one key CF$UID with a non-negative integer stands for, as
// the phone's reader takes it: the way XML writes a UID, which the library writes but reads back
// as that dictionary.
std::optional<std::uint64_t> uidWrittenAsDictionary(plist_t node)
{
    if (plist_get_node_type(node) != PLIST_DICT || plist_dict_get_size(node) != 1)
        return std::nullopt;
    plist_t value = plist_dict_get_item(node, "CF$UID");
    if (!value || plist_get_node_type(value) != PLIST_UINT)
        return std::nullopt;
    uint64_t uid = 0;
    plist_get_uint_val(value, &uid);
    if (uid >> 63 != 0 && !plist_nodes::isBeyondSignedRange(value))
        return std::nullopt;
    return uid;
}

// The parsed XML tree with every such dictionary replaced, in its place, by a UID node; walked
// with a stack of our own, as deep trees are.
weeapp::PlistNode withUidsRead(weeapp::PlistNode root)
{
    if (!root)
        return root;
    if (const std::optional<std::uint64_t> uid = uidWrittenAsDictionary(root.get()))
        return weeapp::PlistNode(plist_new_uid(*uid));
    std::vector<plist_t> containers;
    if (isContainer(root.get()))
        containers.push_back(root.get());
    std::vector<std::pair<plist_t, std::uint64_t>> replaced;
    while (!containers.empty()) {
        plist_t container = containers.back();
        containers.pop_back();
        const bool isDictionary = plist_get_node_type(container) == PLIST_DICT;
        weeapp::CMemory<void> iterator;
        if (isDictionary)
            plist_dict_new_iter(container, iterator.out());
        else
            plist_array_new_iter(container, iterator.out());
        replaced.clear();
        while (true) {
            plist_t child = nullptr;
            if (isDictionary)
                plist_dict_next_item(container, iterator.get(), nullptr, &child);
            else
                plist_array_next_item(container, iterator.get(), &child);
            if (!child)
                break;
            if (const std::optional<std::uint64_t> uid = uidWrittenAsDictionary(child))
                replaced.emplace_back(child, *uid);
            else if (isContainer(child))
                containers.push_back(child);
        }
        iterator.reset();
        for (const auto& [child, uid] : replaced) {
            if (!isDictionary) {
                plist_array_set_item(container, plist_new_uid(uid), plist_array_get_item_index(child));
                continue;
            }
            weeapp::CMemory<char> key;
            plist_get_key_val(plist_dict_item_get_key(child), key.out());
            if (key)
                plist_dict_set_item(container, key.get(), plist_new_uid(uid));
        }
    }
    return root;
}

// The library's tree of bytes that the parser may be handed: UTF-8 XML or a binary file. The
// parser recurses once a level and expands shared objects at every use, so a file goes to it
// only once it is known to be shallow and no bigger as a tree than as bytes; the layout of a
// binary file is kept for reading its texts. The XML reader wants a terminated buffer, which a
// std::string is.
weeapp::PlistNode boundedTree(const std::string& bytes, std::optional<BinaryPropertyListLayout>& layout)
{
    if (bytes.empty() || bytes.size() > kMaximumFileSize)
        return {};
    const auto length = static_cast<uint32_t>(bytes.size());
    if (plist_is_binary(bytes.c_str(), length)) {
        layout = BinaryPropertyListLayout::scan(bytes, kMaximumPropertyListDepth);
        if (!layout)
            return {};
    } else if (!xmlPropertyListIsReadable(bytes, kMaximumPropertyListDepth + kXmlElementsAroundContainers)) {
        return {};
    }
    plist_t raw = nullptr;
    plist_from_memory(bytes.c_str(), length, &raw);
    if (layout || (bytes.find("CF$UID") == std::string::npos && bytes.find('&') == std::string::npos))
        return weeapp::PlistNode(raw);
    return withUidsRead(weeapp::PlistNode(raw));
}

bool isBinary(std::string_view bytes)
{
    return propertyListFormatOf(bytes) == PropertyListFormat::Binary;
}

ValuePtr parseTerminated(const std::string& fileBytes, EntrySelection selection = {})
{
    const std::string* bytes = &fileBytes;
    XmlAsUtf8 xml;
    if (!isBinary(fileBytes)) {
        xml = xmlAsUtf8(fileBytes, kMaximumFileSize);
        if (!xml.readable)
            return nullptr;
        if (xml.converted)
            bytes = &*xml.converted;
    }
    std::optional<BinaryPropertyListLayout> layout;
    weeapp::PlistNode root = boundedTree(*bytes, layout);
    if (!layout && selection.rootKey)
        return xmlDictionaryEntry(root.get(), *selection.rootKey);
    return fromPlist(root.get(), layout ? &*layout : nullptr, selection);
}

}

ValuePtr propertyListFromBytes(std::string_view bytes)
{
    if (bytes.size() > kMaximumFileSize)
        return nullptr;
    return parseTerminated(std::string(bytes));
}

ValuePtr readPropertyListFile(const std::string& filePath)
{
    std::optional<std::string> bytes = readWholeFile(filePath, kMaximumFileSize);
    if (!bytes)
        return nullptr;
    return parseTerminated(*bytes);
}

ValuePtr dictionaryEntryOfFile(const std::string& phonePath, std::string_view key)
{
    std::optional<std::string> bytes = readWholeFile(resolvePhonePath(phonePath), kMaximumFileSize);
    if (!bytes)
        return nullptr;
    return rootOfKind(parseTerminated(*bytes, { .rootKey = &key, .elementKeys = {} }), true);
}

ValuePtr arrayWithEntriesOfFile(const std::string& phonePath, std::span<const std::string_view> keys)
{
    std::optional<std::string> bytes = readWholeFile(resolvePhonePath(phonePath), kMaximumFileSize);
    if (!bytes)
        return nullptr;
    return rootOfKind(parseTerminated(*bytes, { .rootKey = nullptr, .elementKeys = keys }), false);
}

ValuePtr dictionaryWithContentsOfFile(const std::string& phonePath)
{
    return rootOfKind(readPropertyListFile(resolvePhonePath(phonePath)), true);
}

ValuePtr arrayWithContentsOfFile(const std::string& phonePath)
{
    return rootOfKind(readPropertyListFile(resolvePhonePath(phonePath)), false);
}

PropertyListFormat propertyListFormatOf(std::string_view bytes)
{
    // Only the header matters, and it is short: a longer text need not fit the length type.
    const auto header = static_cast<uint32_t>(std::min<std::size_t>(bytes.size(), 64));
    return plist_is_binary(bytes.data(), header) ? PropertyListFormat::Binary : PropertyListFormat::Xml;
}

std::optional<std::string> serializePropertyList(const Value& value, PropertyListFormat format)
{
    weeapp::PlistNode root(toPlist(value, 0));
    if (!root)
        return std::nullopt;
    weeapp::CMemory<char> raw;
    uint32_t length = 0;
    if (format == PropertyListFormat::Xml)
        plist_to_xml(root.get(), raw.out(), &length);
    else
        plist_to_bin(root.get(), raw.out(), &length);
    if (!raw)
        return std::nullopt;
    return std::string(raw.get(), length);
}

bool writePropertyListAtomically(const Value& value, const std::string& filePath, PropertyListFormat format)
{
    std::optional<std::string> bytes = serializePropertyList(value, format);
    return bytes && writeFileAtomically(filePath, *bytes);
}

}

namespace sys::plist_nodes {

plist_t nodeOf(const Value& value)
{
    return toPlist(value, 0);
}

ParsedTree parseBounded(std::string_view fileBytes)
{
    ParsedTree tree;
    if (fileBytes.size() > kMaximumFileSize)
        return tree;
    if (isBinary(fileBytes)) {
        tree.bytes = std::make_unique<const std::string>(fileBytes);
    } else {
        XmlAsUtf8 xml = xmlAsUtf8(fileBytes, kMaximumFileSize);
        if (!xml.readable)
            return tree;
        tree.bytes = std::make_unique<const std::string>(xml.converted ? std::move(*xml.converted) : std::string(fileBytes));
    }
    tree.root = boundedTree(*tree.bytes, tree.layout);
    return tree;
}

ValuePtr valueOfTree(const ParsedTree& tree)
{
    return fromPlist(tree.root.get(), tree.layout ? &*tree.layout : nullptr);
}

}
