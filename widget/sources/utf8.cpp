#include "sources/utf8.h"

#include <cstdint>

namespace kavrin {

bool isValidUtf8(std::string_view bytes)
{
    std::size_t index = 0;
    while (index < bytes.size()) {
        const auto lead = static_cast<std::uint8_t>(bytes[index]);
        if (lead < 0x80) {
            ++index;
            continue;
        }
        std::size_t length;
        std::uint32_t codePoint;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07u;
        } else {
            return false;
        }
        if (index + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto continuation = static_cast<std::uint8_t>(bytes[index + k]);
            if ((continuation & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (continuation & 0x3Fu);
        }
        constexpr std::uint32_t kSmallestOfLength[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (codePoint < kSmallestOfLength[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        index += length;
    }
    return true;
}

}
