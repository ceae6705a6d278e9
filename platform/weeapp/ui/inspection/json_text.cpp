#include <weeapp/ui/inspection/json_text.h>

#include <weeapp/sys/utf8.h>

#include <charconv>
#include <cmath>
#include <string_view>

namespace weeapp::ui {

namespace {

void writeString(std::string& out, std::string_view text)
{
    constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    while (!text.empty()) {
        const std::size_t length = sys::utf8SequenceLength(text);
        const auto code = static_cast<unsigned char>(text.front());
        if (length == 0) {
            out += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        if (length > 1)
            out.append(text.substr(0, length));
        else if (code == '"')
            out += "\\\"";
        else if (code == '\\')
            out += "\\\\";
        else if (code == '\n')
            out += "\\n";
        else if (code == '\t')
            out += "\\t";
        else if (code == '\r')
            out += "\\r";
        else if (code < 0x20 || code == 0x7F) {
            out += "\\u00";
            out += kHex[code >> 4];
            out += kHex[code & 0xF];
        } else
            out += static_cast<char>(code);
        text.remove_prefix(length);
    }
    out += '"';
}

void writeNumber(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    auto single = static_cast<float>(value);
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, single == 0 ? 0.0f : single);
    out.append(buffer, result.ptr);
}

void write(std::string& out, const Json& value)
{
    switch (value.type()) {
    case Json::value_t::object: {
        out += '{';
        bool first = true;
        for (const auto& [key, member] : value.items()) {
            if (!first)
                out += ", ";
            first = false;
            writeString(out, key);
            out += ": ";
            write(out, member);
        }
        out += '}';
        return;
    }
    case Json::value_t::array: {
        out += '[';
        bool first = true;
        for (const Json& item : value) {
            if (!first)
                out += ", ";
            first = false;
            write(out, item);
        }
        out += ']';
        return;
    }
    case Json::value_t::string:
        writeString(out, value.get_ref<const Json::string_t&>());
        return;
    case Json::value_t::boolean:
        out += value.get<bool>() ? "true" : "false";
        return;
    case Json::value_t::number_integer:
        out += std::to_string(value.get<std::int64_t>());
        return;
    case Json::value_t::number_unsigned:
        out += std::to_string(value.get<std::uint64_t>());
        return;
    case Json::value_t::number_float:
        writeNumber(out, value.get<double>());
        return;
    case Json::value_t::null:
    case Json::value_t::binary:
    case Json::value_t::discarded:
        out += "null";
        return;
    }
}

}

std::string jsonText(const Json& value)
{
    std::string out;
    write(out, value);
    return out;
}

}
