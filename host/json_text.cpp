#include "json_text.h"

#include <cstdio>

namespace kavrin::host {

std::string jsonString(std::string_view text)
{
    std::string result = "\"";
    for (char character : text) {
        auto byte = static_cast<unsigned char>(character);
        switch (character) {
        case '"': result += "\\\""; break;
        case '\\': result += "\\\\"; break;
        case '\n': result += "\\n"; break;
        case '\r': result += "\\r"; break;
        case '\t': result += "\\t"; break;
        default:
            if (byte < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                result += escaped;
            } else {
                result += character;
            }
        }
    }
    return result + '"';
}

std::string alertJson(const ui::AlertView& alert)
{
    std::string json = "{\"title\": ";
    json += alert.title() ? jsonString(*alert.title()) : "null";
    json += ", \"buttons\": [";
    for (std::size_t i = 0; i < alert.buttonTitles().size(); ++i)
        json += (i ? ", " : "") + jsonString(alert.buttonTitles()[i]);
    json += "], \"tag\": " + std::to_string(alert.tag()) + "}";
    return json;
}

}
