#include <weeapp/sys/format.h>

namespace weeapp::sys {

namespace {

void appendObject(std::string& out, const FormatArgument& argument)
{
    if (auto* value = std::get_if<ValuePtr>(&argument))
        out += description(*value);
    else if (auto* text = std::get_if<std::string_view>(&argument))
        out += *text;
}

void appendInteger(std::string& out, const FormatArgument& argument)
{
    if (auto* number = std::get_if<std::int32_t>(&argument))
        out += std::to_string(*number);
}

}

std::string formatString(std::string_view format, const std::vector<FormatArgument>& arguments)
{
    std::string out;
    out.reserve(format.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 == format.size()) {
            out += c;
            continue;
        }
        char conversion = format[i + 1];
        if (conversion == '%') {
            out += '%';
        } else if (conversion == '@' || conversion == 'i' || conversion == 'd') {
            if (next < arguments.size()) {
                if (conversion == '@')
                    appendObject(out, arguments[next]);
                else
                    appendInteger(out, arguments[next]);
            }
            ++next;
        } else {
            // Not a conversion this formatter knows: the text stays as written.
            out += c;
            continue;
        }
        ++i;
    }
    return out;
}

std::vector<std::string> componentsSeparatedByString(std::string_view text, std::string_view separator)
{
    std::vector<std::string> pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t found = text.find(separator, start);
        if (found == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, found - start));
        start = found + separator.size();
    }
}

std::string stringByReplacingOccurrencesOfString(std::string_view text, std::string_view target, std::string_view replacement)
{
    if (target.empty())
        return std::string(text);
    std::string out;
    std::size_t start = 0;
    while (true) {
        std::size_t found = text.find(target, start);
        if (found == std::string_view::npos) {
            out += text.substr(start);
            return out;
        }
        out += text.substr(start, found - start);
        out += replacement;
        start = found + target.size();
    }
}

}
