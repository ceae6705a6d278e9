#include <weeapp/sys/xml_encoding.h>

#include <weeapp/c_handles.h>

#include <iconv.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <string>

namespace sys {

namespace {

struct ByteOrderMark {
    std::string_view bytes;
    const char* encoding;
};

// UTF-32's marks first: UTF-16 LE's is the start of UTF-32 LE's. Without a mark, the first
// characters "<?" tell UTF-16 and UTF-32 apart from the encodings that write them as ASCII.
constexpr std::array kMarks = {
    ByteOrderMark { { "\x00\x00\xFE\xFF", 4 }, "UTF-32BE" },
    ByteOrderMark { { "\xFF\xFE\x00\x00", 4 }, "UTF-32LE" },
    ByteOrderMark { { "\xEF\xBB\xBF", 3 }, "UTF-8" },
    ByteOrderMark { { "\xFE\xFF", 2 }, "UTF-16BE" },
    ByteOrderMark { { "\xFF\xFE", 2 }, "UTF-16LE" },
};
constexpr std::array kUnmarkedStarts = {
    ByteOrderMark { { "\x00\x00\x00<\x00\x00\x00?", 8 }, "UTF-32BE" },
    ByteOrderMark { { "<\x00\x00\x00?\x00\x00\x00", 8 }, "UTF-32LE" },
    ByteOrderMark { { "\x00<\x00?", 4 }, "UTF-16BE" },
    ByteOrderMark { { "<\x00?\x00", 4 }, "UTF-16LE" },
};

// Names that the phone's reader knows and iconv spells otherwise.
constexpr std::array<std::pair<std::string_view, const char*>, 2> kAliases = { {
    { "x-mac-roman", "MACINTOSH" },
    { "macroman", "MACINTOSH" },
} };

bool equalIgnoringCase(std::string_view left, std::string_view right)
{
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(left[i])) != std::tolower(static_cast<unsigned char>(right[i])))
            return false;
    }
    return true;
}

// An encoding name as XML writes it; anything else (a "//" suffix that would change how iconv
// converts, say) is no name.
bool isEncodingName(std::string_view name)
{
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name.front())))
        return false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-' && c != ':')
            return false;
    }
    return true;
}

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The value of the declaration's encoding attribute: nothing when the bytes do not start with
// a declaration or it names none, an empty text when the attribute is there but malformed.
std::optional<std::string_view> declaredEncoding(std::string_view bytes)
{
    if (!bytes.starts_with("<?xml") || bytes.size() < 6 || !isXmlSpace(bytes[5]))
        return std::nullopt;
    const std::size_t end = bytes.find("?>");
    const std::string_view declaration = bytes.substr(0, end);
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return std::nullopt;
    at += 8;
    while (at < declaration.size() && isXmlSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || declaration[at] != '=')
        return std::string_view();
    ++at;
    while (at < declaration.size() && isXmlSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return std::string_view();
    const char quote = declaration[at++];
    const std::size_t close = declaration.find(quote, at);
    if (close == std::string_view::npos)
        return std::string_view();
    return declaration.substr(at, close - at);
}

// The whole text converted, or nothing when any of it is not in the encoding or the result
// would pass the size bound.
std::optional<std::string> convertToUtf8(std::string_view text, const char* encoding, std::size_t maximumSize)
{
    const weeapp::IconvDescriptor converter(iconv_open("UTF-8", encoding));
    if (!converter)
        return std::nullopt;
    iconv_t raw = converter.get();
    std::string result;
    std::array<char, 16384> chunk;
    char* input = const_cast<char*>(text.data());
    std::size_t inputLeft = text.size();
    while (true) {
        char* output = chunk.data();
        std::size_t outputLeft = chunk.size();
        // A null input flushes the converter's state once the text is through.
        const std::size_t converted = inputLeft > 0 ? iconv(raw, &input, &inputLeft, &output, &outputLeft) : iconv(raw, nullptr, nullptr, &output, &outputLeft);
        const int failure = converted == static_cast<std::size_t>(-1) ? errno : 0;
        result.append(chunk.data(), chunk.size() - outputLeft);
        if (result.size() > maximumSize)
            return std::nullopt;
        if (failure != 0 && failure != E2BIG)
            return std::nullopt;
        if (failure == 0 && inputLeft == 0 && output == chunk.data())
            return result;
    }
}

XmlAsUtf8 converted(std::string_view text, const char* encoding, std::size_t maximumSize)
{
    std::optional<std::string> utf8 = convertToUtf8(text, encoding, maximumSize);
    if (!utf8)
        return { false, std::nullopt };
    return { true, std::move(utf8) };
}

}

XmlAsUtf8 xmlAsUtf8(std::string_view bytes, std::size_t maximumSize)
{
    for (const ByteOrderMark& mark : kMarks) {
        if (bytes.starts_with(mark.bytes)) {
            const std::string_view text = bytes.substr(mark.bytes.size());
            if (std::string_view(mark.encoding) == "UTF-8")
                return { true, std::string(text) };
            return converted(text, mark.encoding, maximumSize);
        }
    }
    for (const ByteOrderMark& start : kUnmarkedStarts) {
        if (bytes.starts_with(start.bytes))
            return converted(bytes, start.encoding, maximumSize);
    }
    const std::optional<std::string_view> declared = declaredEncoding(bytes);
    if (!declared || equalIgnoringCase(*declared, "UTF-8"))
        return {};
    if (!isEncodingName(*declared))
        return { false, std::nullopt };
    std::string name(*declared);
    for (const auto& [alias, iconvName] : kAliases) {
        if (equalIgnoringCase(name, alias))
            name = iconvName;
    }
    return converted(bytes, name.c_str(), maximumSize);
}

}
