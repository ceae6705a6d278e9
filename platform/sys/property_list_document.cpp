#include <weeapp/sys/property_list_document.h>

#include <weeapp/sys/plist_nodes.h>

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdlib>
#include <cstring>

namespace sys {

struct PropertyListDocument::Tree {
    plist_nodes::ParsedTree parsed;
};

namespace {

std::optional<std::string> bytesOf(plist_t root, PropertyListFormat format)
{
    weeapp::CMemory<char> raw;
    uint32_t length = 0;
    if (format == PropertyListFormat::Xml)
        plist_to_xml(root, raw.out(), &length);
    else
        plist_to_bin(root, raw.out(), &length);
    if (!raw)
        return std::nullopt;
    return std::string(raw.get(), length);
}

// The library writes an XML date's year as a plain number: one outside 1000 to 9999 would not
// have the four digits that every reader expects.
bool datesFitXml(const Value& value, std::string& kind)
{
    if (const Date* date = value.asDate()) {
        const std::string text = isoDateText(*date);
        kind = "date";
        return text.size() > 4 && text[0] >= '1' && text[0] <= '9' && text[4] == '-';
    }
    if (const Array* array = value.asArray()) {
        for (const ValuePtr& item : *array) {
            if (item && !datesFitXml(*item, kind))
                return false;
        }
    }
    if (const Dictionary* dictionary = value.asDictionary()) {
        for (const auto& [key, item] : *dictionary) {
            if (item && !datesFitXml(*item, kind))
                return false;
        }
    }
    return true;
}

// The kind of the first value inside `wanted` that `got` does not have to the bit.
std::string firstDifferingKind(const ValuePtr& wanted, const ValuePtr& got)
{
    if (!wanted)
        return "value";
    const Array* wantedItems = wanted->asArray();
    const Array* gotItems = got ? got->asArray() : nullptr;
    if (wantedItems && gotItems && wantedItems->size() == gotItems->size()) {
        for (std::size_t i = 0; i < wantedItems->size(); ++i) {
            if (!identicalValues((*wantedItems)[i], (*gotItems)[i]))
                return firstDifferingKind((*wantedItems)[i], (*gotItems)[i]);
        }
    }
    const Dictionary* wantedEntries = wanted->asDictionary();
    const Dictionary* gotEntries = got ? got->asDictionary() : nullptr;
    if (wantedEntries && gotEntries && wantedEntries->size() == gotEntries->size()) {
        for (const auto& [key, item] : *wantedEntries) {
            auto found = gotEntries->find(key);
            if (found == gotEntries->end())
                return kindName(*item);
            if (!identicalValues(item, found->second))
                return firstDifferingKind(item, found->second);
        }
    }
    return kindName(*wanted);
}

bool identicalStorage(const Value::Storage& left, const Value::Storage& right)
{
    if (left.index() != right.index())
        return false;
    if (const auto* real = std::get_if<double>(&left))
        return std::bit_cast<std::uint64_t>(*real) == std::bit_cast<std::uint64_t>(std::get<double>(right));
    if (const auto* date = std::get_if<Date>(&left))
        return std::bit_cast<std::uint64_t>(date->secondsSinceReferenceDate) == std::bit_cast<std::uint64_t>(std::get<Date>(right).secondsSinceReferenceDate);
    if (const auto* items = std::get_if<Array>(&left)) {
        const Array& others = std::get<Array>(right);
        if (items->size() != others.size())
            return false;
        for (std::size_t i = 0; i < items->size(); ++i) {
            if (!identicalValues((*items)[i], others[i]))
                return false;
        }
        return true;
    }
    if (const auto* entries = std::get_if<Dictionary>(&left)) {
        const Dictionary& others = std::get<Dictionary>(right);
        if (entries->size() != others.size())
            return false;
        auto other = others.begin();
        for (const auto& [key, item] : *entries) {
            if (key != other->first || !identicalValues(item, other->second))
                return false;
            ++other;
        }
        return true;
    }
    return left == right;
}

}

PropertyListDocument::PropertyListDocument(std::unique_ptr<Tree> tree, Dictionary values, PropertyListFormat format)
    : m_tree(std::move(tree))
    , m_values(std::move(values))
    , m_format(format)
{
}

PropertyListDocument::PropertyListDocument(PropertyListDocument&&) noexcept = default;
PropertyListDocument& PropertyListDocument::operator=(PropertyListDocument&&) noexcept = default;
PropertyListDocument::~PropertyListDocument() = default;

std::optional<PropertyListDocument> PropertyListDocument::fromBytes(std::string_view bytes)
{
    auto tree = std::make_unique<Tree>();
    tree->parsed = plist_nodes::parseBounded(bytes);
    if (!tree->parsed.root || plist_get_node_type(tree->parsed.root.get()) != PLIST_DICT)
        return std::nullopt;
    ValuePtr values = plist_nodes::valueOfTree(tree->parsed);
    if (!values || !values->asDictionary())
        return std::nullopt;
    return PropertyListDocument(std::move(tree), *values->asDictionary(), propertyListFormatOf(bytes));
}

PropertyListDocument PropertyListDocument::empty()
{
    auto tree = std::make_unique<Tree>();
    tree->parsed.root = weeapp::PlistNode(plist_new_dict());
    return PropertyListDocument(std::move(tree), {}, PropertyListFormat::Xml);
}

ValuePtr PropertyListDocument::value(std::string_view key) const
{
    auto found = m_values.find(key);
    return found == m_values.end() ? nullptr : found->second;
}

void PropertyListDocument::set(const std::string& key, ValuePtr value)
{
    // A property list has no nil; a key is removed with remove().
    assert(value);
    m_values[key] = value;
    std::erase(m_unheld, key);
    plist_t node = key.find('\0') == std::string::npos ? plist_nodes::nodeOf(*value) : nullptr;
    if (!node) {
        m_unheld.push_back(key);
        return;
    }
    plist_dict_set_item(m_tree->parsed.root.get(), key.c_str(), node);
}

bool PropertyListDocument::remove(std::string_view key)
{
    auto found = m_values.find(key);
    if (found == m_values.end())
        return false;
    m_values.erase(found);
    const std::string name(key);
    std::erase(m_unheld, name);
    if (name.find('\0') == std::string::npos)
        plist_dict_remove_item(m_tree->parsed.root.get(), name.c_str());
    return true;
}

std::variant<std::string, PropertyListDocument::CarryFailure> PropertyListDocument::serialize() const
{
    // Only a document read whole or made empty exists, and every key held unwritten has a value.
    assert(m_tree && m_tree->parsed.root);
    if (!m_unheld.empty())
        return CarryFailure { m_unheld.front(), kindName(*m_values.at(m_unheld.front())) };
    for (const auto& [key, value] : m_values) {
        std::string kind;
        if (value && m_format == PropertyListFormat::Xml && !datesFitXml(*value, kind))
            return CarryFailure { key, kind };
    }
    std::optional<std::string> bytes = bytesOf(m_tree->parsed.root.get(), m_format);
    const ValuePtr reread = bytes ? propertyListFromBytes(*bytes) : nullptr;
    const Dictionary* rereadEntries = reread ? reread->asDictionary() : nullptr;
    for (const auto& [key, value] : m_values) {
        ValuePtr got = rereadEntries ? objectForKey(reread, key) : nullptr;
        if (!identicalValues(value, got))
            return CarryFailure { key, firstDifferingKind(value, got) };
    }
    if (!rereadEntries || rereadEntries->size() != m_values.size())
        return CarryFailure { "", "dictionary" };
    return std::move(*bytes);
}

std::string kindName(const Value& value)
{
    static constexpr const char* kNames[] = { "boolean", "integer", "integer", "real", "text", "data", "date", "UID", "array", "dictionary" };
    static_assert(std::size(kNames) == std::variant_size_v<Value::Storage>);
    return kNames[value.storage().index()];
}

bool identicalValues(const ValuePtr& left, const ValuePtr& right)
{
    if (!left || !right)
        return left == right;
    return identicalStorage(left->storage(), right->storage());
}

}
