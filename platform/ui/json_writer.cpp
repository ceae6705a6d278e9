#include "ui/json_writer.h"

#include <charconv>
#include <cmath>

namespace ui {

namespace {

// The length of the well-formed UTF-8 sequence at the start of text, or 0.
std::size_t validSequenceLength(std::string_view text)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

}

void JsonWriter::separate()
{
    if (m_needsComma)
        m_text += ", ";
    m_needsComma = true;
}

void JsonWriter::beginObject()
{
    separate();
    m_text += '{';
    m_needsComma = false;
}

void JsonWriter::endObject()
{
    m_text += '}';
    m_needsComma = true;
}

void JsonWriter::beginArray()
{
    separate();
    m_text += '[';
    m_needsComma = false;
}

void JsonWriter::endArray()
{
    m_text += ']';
    m_needsComma = true;
}

void JsonWriter::key(std::string_view name)
{
    string(name);
    m_text += ": ";
    m_needsComma = false;
}

void JsonWriter::string(std::string_view text)
{
    separate();
    m_text += '"';
    while (!text.empty()) {
        const std::size_t length = validSequenceLength(text);
        if (length == 0) {
            m_text += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        const char character = text[0];
        if (length > 1) {
            m_text.append(text.substr(0, length));
        } else if (character == '"') {
            m_text += "\\\"";
        } else if (character == '\\') {
            m_text += "\\\\";
        } else if (character == '\n') {
            m_text += "\\n";
        } else if (character == '\t') {
            m_text += "\\t";
        } else if (character == '\r') {
            m_text += "\\r";
        } else if (static_cast<unsigned char>(character) < 0x20 || character == 0x7F) {
            constexpr char kHex[] = "0123456789abcdef";
            const auto code = static_cast<unsigned char>(character);
            m_text += "\\u00";
            m_text += kHex[code >> 4];
            m_text += kHex[code & 0xF];
        } else {
            m_text += character;
        }
        text.remove_prefix(length);
    }
    m_text += '"';
}

void JsonWriter::number(float value)
{
    if (!std::isfinite(value)) {
        null();
        return;
    }
    separate();
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0f : value);
    m_text.append(buffer, result.ptr);
}

void JsonWriter::integer(std::int64_t value)
{
    separate();
    m_text += std::to_string(value);
}

void JsonWriter::boolean(bool value)
{
    separate();
    m_text += value ? "true" : "false";
}

void JsonWriter::null()
{
    separate();
    m_text += "null";
}

}
