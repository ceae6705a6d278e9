#include <weeapp/sys/url.h>

namespace weeapp::sys {

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isLegalCharacter(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    for (char legal : std::string_view("!$&'()*+,-./:;=?@_~[]#%")) {
        if (c == legal)
            return true;
    }
    return false;
}

bool isLegalURLText(std::string_view text)
{
    if (text.empty())
        return false;
    bool seenFragment = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (!isLegalCharacter(c))
            return false;
        if (c == '%' && (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2])))
            return false;
        if (c == '#') {
            if (seenFragment)
                return false;
            seenFragment = true;
        }
    }
    return true;
}

}

std::shared_ptr<const URL> URL::URLWithString(std::string_view text)
{
    if (!isLegalURLText(text))
        return nullptr;
    return std::shared_ptr<const URL>(new URL(std::string(text)));
}

std::string URL::scheme() const
{
    auto colon = m_text.find(':');
    return colon == std::string::npos ? std::string() : m_text.substr(0, colon);
}

}
