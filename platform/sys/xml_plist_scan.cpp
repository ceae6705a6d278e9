#include <weeapp/sys/xml_plist_scan.h>

#include <utility>

namespace sys {

namespace {

class XmlDepthScan {
public:
    XmlDepthScan(std::string_view bytes, std::size_t maximumDepth)
        : m_bytes(bytes)
        , m_maximumDepth(maximumDepth) { }

    bool run()
    {
        while (m_position < m_bytes.size()) {
            const std::size_t open = m_bytes.find('<', m_position);
            if (open == std::string_view::npos)
                return true;
            m_position = open;
            if (!passMarkup())
                return false;
        }
        return true;
    }

private:
    bool startsHere(std::string_view text) const { return m_bytes.substr(m_position).starts_with(text); }

    // Skips to just past `end`, or to the end of the bytes when it never comes.
    void passUntil(std::string_view end)
    {
        const std::size_t found = m_bytes.find(end, m_position);
        m_position = found == std::string_view::npos ? m_bytes.size() : found + end.size();
    }

    // False once elements nest too deep.
    bool passMarkup()
    {
        // A declaration such as <!DOCTYPE ...> ends, as far as the scan is concerned, at its
        // first '>': whatever the parser makes of the rest of it, nothing is passed over that
        // the parser could take as elements.
        static constexpr std::pair<std::string_view, std::string_view> kPassedOver[] = {
            { "<!--", "-->" },
            { "<![CDATA[", "]]>" },
            { "<?", "?>" },
            { "<!", ">" },
        };
        const char next = m_position + 1 < m_bytes.size() ? m_bytes[m_position + 1] : '\0';
        if (next == '!' || next == '?') {
            for (const auto& [start, end] : kPassedOver) {
                if (startsHere(start)) {
                    passUntil(end);
                    return true;
                }
            }
        }
        const bool closing = next == '/';
        const bool selfClosing = passTag();
        if (closing) {
            if (m_depth > 0)
                --m_depth;
            return true;
        }
        if (selfClosing)
            return true;
        return ++m_depth <= m_maximumDepth;
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
    std::size_t m_depth { 0 };
};

}

bool xmlPropertyListIsBounded(std::string_view bytes, std::size_t maximumDepth)
{
    return bytes.find('\0') == std::string_view::npos && XmlDepthScan(bytes, maximumDepth).run();
}

}
