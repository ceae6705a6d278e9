#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin::testing {

// Binary property lists put together object by object, for shapes no writer of ours makes: texts
// with a NUL, shared or cyclic references, nesting far past what a reader takes.
class BinaryPropertyListBuilder {
public:
    // referenceWidth bytes per reference, enough for every object index the file will use.
    explicit BinaryPropertyListBuilder(unsigned referenceWidth = 1)
        : m_referenceWidth(referenceWidth) { }

    std::uint64_t array(const std::vector<std::uint64_t>& items) { return container(0xA, items.size(), items); }
    // keys then values, as the file stores them.
    std::uint64_t dictionary(const std::vector<std::uint64_t>& keys, const std::vector<std::uint64_t>& values)
    {
        std::vector<std::uint64_t> references = keys;
        references.insert(references.end(), values.begin(), values.end());
        return container(0xD, keys.size(), references);
    }
    std::uint64_t ascii(std::string_view text)
    {
        begin(0x5, text.size());
        m_body += text;
        return m_offsets.size() - 1;
    }
    // UTF-16 units, big-endian in the file.
    std::uint64_t utf16(const std::u16string& units)
    {
        begin(0x6, units.size());
        for (char16_t unit : units) {
            m_body += static_cast<char>(unit >> 8);
            m_body += static_cast<char>(unit & 0xFF);
        }
        return m_offsets.size() - 1;
    }
    // An integer below 256.
    std::uint64_t smallInteger(std::uint8_t value)
    {
        m_offsets.push_back(kHeader.size() + m_body.size());
        m_body += '\x10';
        m_body += static_cast<char>(value);
        return m_offsets.size() - 1;
    }
    std::uint64_t yes()
    {
        m_offsets.push_back(kHeader.size() + m_body.size());
        m_body += '\x09';
        return m_offsets.size() - 1;
    }
    // The index the next object will get, for references made before the object.
    std::uint64_t nextObject() const { return m_offsets.size(); }

    std::string finish(std::uint64_t top) const
    {
        const std::uint64_t tableOffset = kHeader.size() + m_body.size();
        unsigned offsetWidth = 1;
        while (offsetWidth < 8 && tableOffset >> (8 * offsetWidth) != 0)
            ++offsetWidth;
        std::string bytes = std::string(kHeader) + m_body;
        for (std::uint64_t offset : m_offsets)
            append(bytes, offset, offsetWidth);
        bytes += std::string(6, '\0');
        bytes += static_cast<char>(offsetWidth);
        bytes += static_cast<char>(m_referenceWidth);
        append(bytes, m_offsets.size(), 8);
        append(bytes, top, 8);
        append(bytes, tableOffset, 8);
        return bytes;
    }

private:
    static constexpr std::string_view kHeader = "bplist00";

    static void append(std::string& bytes, std::uint64_t value, unsigned width)
    {
        for (unsigned i = width; i-- > 0;)
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    }

    void begin(unsigned kind, std::uint64_t count)
    {
        m_offsets.push_back(kHeader.size() + m_body.size());
        if (count < 15) {
            m_body += static_cast<char>(kind << 4 | count);
            return;
        }
        m_body += static_cast<char>(kind << 4 | 0xF);
        m_body += '\x13'; // an eight-byte integer follows
        append(m_body, count, 8);
    }

    std::uint64_t container(unsigned kind, std::uint64_t count, const std::vector<std::uint64_t>& references)
    {
        begin(kind, count);
        for (std::uint64_t reference : references)
            append(m_body, reference, m_referenceWidth);
        return m_offsets.size() - 1;
    }

    unsigned m_referenceWidth;
    std::string m_body;
    std::vector<std::uint64_t> m_offsets;
};

// Arrays and dictionaries nested `levels` deep (at least 2), the innermost an empty array: under
// the key "k" of a dictionary (a settings file) or as the first item of an array (a favorites
// list).
inline std::string deepBinaryPropertyList(std::uint64_t levels, bool dictionaryRoot)
{
    BinaryPropertyListBuilder builder(4);
    std::uint64_t top = 0;
    if (dictionaryRoot) {
        const std::uint64_t key = builder.ascii("k");
        top = builder.dictionary({ key }, { key + 2 });
    } else {
        top = builder.array({ 1 });
    }
    for (std::uint64_t level = 2; level < levels; ++level)
        builder.array({ builder.nextObject() + 1 });
    builder.array({});
    return builder.finish(top);
}

inline std::string deepXmlPropertyList(std::uint64_t levels, bool dictionaryRoot)
{
    std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    bytes += dictionaryRoot ? "<dict><key>k</key>" : "<array>";
    for (std::uint64_t level = 2; level < levels; ++level)
        bytes += "<array>";
    bytes += "<array/>";
    for (std::uint64_t level = 2; level < levels; ++level)
        bytes += "</array>";
    bytes += dictionaryRoot ? "</dict>" : "</array>";
    return bytes + "</plist>";
}

// XML property lists around a well-formed root element (`<dict>...</dict>` or
// `<array>...</array>`), each with one fault for which the phone's reader refuses the whole
// file, while the property-list library would read a value out of it. A value fault goes last
// in the root, under the key "bad" of a dictionary.
inline std::vector<std::string> malformedXmlPropertyLists(std::string_view root)
{
    const std::string_view head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const auto document = [head](std::string_view prolog, std::string_view body, std::string_view after) {
        return std::string(head) + std::string(prolog) + "<plist version=\"1.0\">\n" + std::string(body) + "\n</plist>\n" + std::string(after);
    };
    const bool dictionary = root.starts_with("<dict>");
    const std::size_t close = root.rfind('<');
    std::vector<std::string> documents;
    for (const char* value : {
             "<integer>42q</integer>", "<integer></integer>", "<integer/>", "<integer>12345678901234567890123456789012345678901</integer>",
             "<integer>18446744073709551616</integer>", "<integer>-9223372036854775809</integer>", "<integer>010</integer>",
             "<integer> -5</integer>", "<integer>0x</integer>", "<integer>-0x5</integer>", "<integer>4_2</integer>", "<integer>&#52;2</integer>",
             "<real>notanumber</real>", "<real>1.2.3</real>", "<real></real>", "<real/>", "<real>0x1p3</real>", "<real>1e</real>",
             "<date></date>", "<date/>", "<date>2020-01-02T03:04:05</date>", "<date>2020-01-02T03:04:05.5Z</date>",
             "<date>2020-02-30T00:00:00Z</date>", "<date>0000-01-01T00:00:00Z</date>", "<date> 2020-01-02T03:04:05Z</date>" }) {
        std::string body(root.substr(0, close));
        body += dictionary ? "<key>bad</key>" : "";
        body += value;
        body += root.substr(close);
        documents.push_back(document("", body, ""));
    }
    documents.push_back(document("", root, "trailing text"));
    documents.push_back(document("", root, "<plist><array/></plist>"));
    documents.push_back(document("", std::string(root) + "text after the root value", ""));
    documents.push_back(document("<!DOCTYPE plist [ <!ENTITY e \"x\"> ]>\n", root, ""));
    return documents;
}

}
