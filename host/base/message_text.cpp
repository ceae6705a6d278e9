#include "base/message_text.h"

#include <weeapp/sys/utf8.h>

#include <algorithm>

namespace kavrin::host {

std::string escapedForMessage(std::string_view text)
{
    constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    escaped.reserve(text.size());
    while (!text.empty()) {
        std::size_t length = weeapp::sys::utf8SequenceLength(text);
        auto byte = static_cast<unsigned char>(text.front());
        if (length > 1) {
            escaped.append(text.substr(0, length));
        } else if (byte == '\n') {
            escaped += "\\n";
        } else if (byte == '\t') {
            escaped += "\\t";
        } else if (byte == '\r') {
            escaped += "\\r";
        } else if (byte == '\\' || byte == '"') {
            escaped += '\\';
            escaped += static_cast<char>(byte);
        } else if (length == 0 || byte < 0x20 || byte == 0x7f) {
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xf];
        } else {
            escaped += static_cast<char>(byte);
        }
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return escaped;
}

std::string quotedScriptText(std::string_view text)
{
    constexpr std::size_t kLongest = 200;
    if (text.size() <= kLongest)
        return escapedForMessage(text);
    std::size_t cut = 0;
    while (cut < kLongest) {
        const std::size_t length = std::max<std::size_t>(1, weeapp::sys::utf8SequenceLength(text.substr(cut)));
        if (cut + length > kLongest)
            break;
        cut += length;
    }
    return escapedForMessage(text.substr(0, cut)) + "... (" + std::to_string(text.size()) + " bytes in all)";
}

}
