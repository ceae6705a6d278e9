#include <weeapp/sys/xml_plist_scan.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sys {

namespace {

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isXmlSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isXmlSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool allDigits(std::string_view text)
{
    for (char c : text) {
        if (!isDigit(c))
            return false;
    }
    return !text.empty();
}

bool isIntegerText(std::string_view text)
{
    const std::string_view number = trimmed(text);
    if (number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X')) {
        // Hexadecimal has no sign and nothing before it.
        if (number.data() != text.data())
            return false;
        std::uint64_t value = 0;
        const char* end = number.data() + number.size();
        const auto [stop, error] = std::from_chars(number.data() + 2, end, value, 16);
        return error == std::errc() && stop == end;
    }
    std::string_view digits = number;
    const bool negative = digits.starts_with('-');
    if (negative && number.data() != text.data())
        return false;
    if (negative || digits.starts_with('+'))
        digits.remove_prefix(1);
    if (!allDigits(digits))
        return false;
    // Zeros before other digits make the library read octal.
    const std::size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
    if (zeros > 0 && zeros < digits.size())
        return false;
    std::uint64_t magnitude = 0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), magnitude).ec != std::errc())
        return false;
    return !negative || magnitude <= std::uint64_t { 1 } << 63;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase)
{
    if (text.size() != lowerCase.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != lowerCase[i])
            return false;
    }
    return true;
}

// Skips a run of digits; how many there were.
std::size_t passDigits(std::string_view text, std::size_t& at)
{
    const std::size_t start = at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at - start;
}

bool isRealText(std::string_view text)
{
    std::string_view number = trimmed(text);
    if (number.starts_with('+') || number.starts_with('-'))
        number.remove_prefix(1);
    if (equalsIgnoringCase(number, "inf") || equalsIgnoringCase(number, "infinity") || equalsIgnoringCase(number, "nan"))
        return true;
    std::size_t at = 0;
    std::size_t digits = passDigits(number, at);
    if (at < number.size() && number[at] == '.') {
        ++at;
        digits += passDigits(number, at);
    }
    if (digits == 0)
        return false;
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        ++at;
        if (at < number.size() && (number[at] == '+' || number[at] == '-'))
            ++at;
        if (passDigits(number, at) == 0)
            return false;
    }
    return at == number.size();
}

bool isDateText(std::string_view text)
{
    // YYYY-MM-DDTHH:MM:SSZ
    constexpr std::string_view kShape = "0000-00-00T00:00:00Z";
    if (text.size() != kShape.size())
        return false;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] == '0' ? !isDigit(text[i]) : text[i] != kShape[i])
            return false;
    }
    const auto field = [text](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    const int year = field(0, 4);
    const int month = field(5, 2);
    const int day = field(8, 2);
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static constexpr int kDaysInMonth[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return false;
    if (day > kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0))
        return false;
    return field(11, 2) <= 23 && field(14, 2) <= 59 && field(17, 2) <= 59;
}

enum class ElementKind {
    Container, // plist, array, dict: white space between their elements, nothing else
    Integer,
    Real,
    Date,
    Other, // keys, texts, data: the parser reads their texts
};

ElementKind kindOfElement(std::string_view name)
{
    if (name == "plist" || name == "array" || name == "dict")
        return ElementKind::Container;
    if (name == "integer")
        return ElementKind::Integer;
    if (name == "real")
        return ElementKind::Real;
    if (name == "date")
        return ElementKind::Date;
    return ElementKind::Other;
}

bool isNumberOrDate(ElementKind kind)
{
    return kind == ElementKind::Integer || kind == ElementKind::Real || kind == ElementKind::Date;
}

class XmlPropertyListScan {
public:
    XmlPropertyListScan(std::string_view bytes, std::size_t maximumDepth)
        : m_bytes(bytes)
        , m_maximumDepth(maximumDepth) { }

    bool run()
    {
        while (m_position < m_bytes.size()) {
            std::size_t open = m_bytes.find('<', m_position);
            if (open == std::string_view::npos)
                open = m_bytes.size();
            if (!takeText(m_bytes.substr(m_position, open - m_position)))
                return false;
            m_position = open;
            if (m_position < m_bytes.size() && !passMarkup())
                return false;
        }
        return true;
    }

private:
    bool startsHere(std::string_view text) const { return m_bytes.substr(m_position).starts_with(text); }

    // Skips to just past `end`, or to the end of the bytes when it never comes; what lay between.
    std::string_view passUntil(std::string_view end)
    {
        const std::size_t start = m_position;
        const std::size_t found = m_bytes.find(end, m_position);
        m_position = found == std::string_view::npos ? m_bytes.size() : found + end.size();
        return m_bytes.substr(start, (found == std::string_view::npos ? m_bytes.size() : found) - start);
    }

    // Character data where it stands: part of a number's or date's text, white space between
    // elements, or a text that the parser reads.
    bool takeText(std::string_view text)
    {
        if (text.empty())
            return true;
        const ElementKind where = m_open.empty() ? ElementKind::Container : m_open.back();
        if (isNumberOrDate(where)) {
            m_text += text;
            return true;
        }
        if (where == ElementKind::Other)
            return true;
        for (char c : text) {
            if (!isXmlSpace(c))
                return false;
        }
        return true;
    }

    bool passMarkup()
    {
        const char next = m_position + 1 < m_bytes.size() ? m_bytes[m_position + 1] : '\0';
        if (next == '?' || startsHere("<!--")) {
            passUntil(next == '?' ? "?>" : "-->");
            return true;
        }
        if (startsHere("<![CDATA[")) {
            m_position += 9;
            return takeText(passUntil("]]>"));
        }
        if (next == '!')
            return passDeclaration();
        const bool closing = next == '/';
        const std::size_t nameStart = m_position + (closing ? 2 : 1);
        const bool selfClosing = passTag();
        std::string_view name = m_bytes.substr(nameStart, m_position - nameStart);
        name = name.substr(0, name.find_first_of(" \t\r\n/>"));
        if (closing)
            return closeElement();
        if (m_rootClosed || (!m_open.empty() && isNumberOrDate(m_open.back())))
            return false;
        m_open.push_back(kindOfElement(name));
        if (m_open.size() > m_maximumDepth)
            return false;
        return !selfClosing || closeElement();
    }

    bool closeElement()
    {
        if (m_open.empty())
            return true;
        const ElementKind kind = m_open.back();
        m_open.pop_back();
        m_rootClosed = m_open.empty();
        const std::string text = std::exchange(m_text, std::string());
        switch (kind) {
        case ElementKind::Integer:
            return isIntegerText(text);
        case ElementKind::Real:
            return isRealText(text);
        case ElementKind::Date:
            return isDateText(text);
        default:
            return true;
        }
    }

    // A declaration such as <!DOCTYPE ...> up to its '>', quoted literals passed whole; false for
    // one with an internal subset. Whatever the parser makes of the rest of a declaration, nothing
    // is passed over that the parser could take as elements.
    bool passDeclaration()
    {
        char quote = '\0';
        for (m_position += 2; m_position < m_bytes.size(); ++m_position) {
            const char c = m_bytes[m_position];
            if (quote != '\0') {
                if (c == quote)
                    quote = '\0';
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                return false;
            } else if (c == '>') {
                ++m_position;
                return true;
            }
        }
        return true;
    }

    // A tag up to its '>', with attribute values (="...") passed whole; the parser takes no other
    // quotes. True when the tag closes itself.
    bool passTag()
    {
        bool quoted = false;
        for (++m_position; m_position < m_bytes.size(); ++m_position) {
            const char c = m_bytes[m_position];
            if (c == '"' && (quoted || m_bytes[m_position - 1] == '=')) {
                quoted = !quoted;
            } else if (c == '>' && !quoted) {
                ++m_position;
                return m_bytes[m_position - 2] == '/';
            }
        }
        return false;
    }

    std::string_view m_bytes;
    std::size_t m_maximumDepth;
    std::size_t m_position { 0 };
    std::vector<ElementKind> m_open;
    bool m_rootClosed { false };
    // The text of the number or date being read.
    std::string m_text;
};

}

bool xmlPropertyListIsReadable(std::string_view bytes, std::size_t maximumDepth)
{
    return bytes.find('\0') == std::string_view::npos && XmlPropertyListScan(bytes, maximumDepth).run();
}

}
