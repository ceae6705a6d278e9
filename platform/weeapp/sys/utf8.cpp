#include <weeapp/sys/utf8.h>

#include <glib.h>

#include <algorithm>

namespace weeapp::sys {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool isCharacter(gunichar character)
{
    return character != static_cast<gunichar>(-1) && character != static_cast<gunichar>(-2);
}

}

std::size_t utf8SequenceLength(std::string_view text)
{
    if (text.empty())
        return 0;
    const auto lead = static_cast<unsigned char>(text.front());
    if (lead < 0x80)
        return 1;
    const auto available = static_cast<gssize>(std::min<std::size_t>(text.size(), 4));
    if (!isCharacter(g_utf8_get_char_validated(text.data(), available)))
        return 0;
    return static_cast<std::size_t>(g_utf8_skip[lead]);
}

bool isValidUtf8(std::string_view text)
{
    // glib takes a NUL for the end of the text; each stretch between NULs is judged on its own.
    while (!text.empty()) {
        std::size_t nul = std::min(text.find('\0'), text.size());
        if (nul > 0 && !g_utf8_validate_len(text.data(), nul, nullptr))
            return false;
        text.remove_prefix(std::min(nul + 1, text.size()));
    }
    return true;
}

std::string validUtf8(std::string_view text)
{
    if (isValidUtf8(text))
        return std::string(text);
    std::string valid;
    valid.reserve(text.size() + 16);
    while (!text.empty()) {
        std::size_t length = utf8SequenceLength(text);
        if (length == 0) {
            valid += kReplacementCharacter;
            length = 1;
        } else {
            valid.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return valid;
}

}
