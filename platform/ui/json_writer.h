#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// Builds JSON text with ", " and ": " between items, as the view dump prints it.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // Starts a member of the current object; its value follows.
    void key(std::string_view);

    void string(std::string_view); // invalid UTF-8 becomes U+FFFD
    void number(float);            // shortest text that reads back as the same float; null if not finite
    void integer(std::int64_t);
    void boolean(bool);
    void null();

    const std::string& text() const { return m_text; }

private:
    void separate();

    std::string m_text;
    bool m_needsComma { false };
};

}
