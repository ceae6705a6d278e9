// Any text as a value typed to kavrin-prefs: it becomes a value, and that value's text reads
// back as the same value.
#include "setting_value.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const weeapp::sys::ValuePtr value = kavrin::phone_files::settingValueFromText(text);
    if (!value)
        std::abort();
    const std::string written = kavrin::phone_files::settingValueText(*value);
    if (written.find('\n') == std::string::npos) {
        const weeapp::sys::ValuePtr again = kavrin::phone_files::settingValueFromText(written);
        if (!again || !(*again == *value))
            std::abort();
    }
    return 0;
}
