#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace weeapp::sys {

class URL {
public:
    // URLWithString: / initWithString: nil unless the text is legal URL text: ASCII letters,
    // digits and !$&'()*+,-./:;=?@_~[]#%, a '%' only before two hex digits, at most one '#'.
    static std::shared_ptr<const URL> URLWithString(std::string_view text);

    const std::string& absoluteString() const { return m_text; }
    std::string scheme() const; // the text before the first ':', "" when there is none

private:
    explicit URL(std::string text)
        : m_text(std::move(text)) { }
    std::string m_text;
};

using URLPtr = std::shared_ptr<const URL>;

}
