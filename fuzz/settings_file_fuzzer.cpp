// Any bytes as the widget's settings file, through every lookup the widget makes of it: the
// height it asks for, each switch, the metro pattern and colour, the standard action and what a
// tap is said to do. None fails, and the height is always one of the looks' heights.
#include "controller/kavrin_controller.h"
#include "fuzz_phone.h"
#include "kavrin/published_names.h"
#include <weeapp/sys/value.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace kavrin;

constexpr const char* kSwitches[] = { "metroStyle", "fiveIcons", "showLabels", "showBg", "askForCall", "askForText",
    "askForMail", "animateMetrosOff" };
// The standard look's two heights and the four metro patterns'.
constexpr std::array<float, 6> kHeights { 92, 110, 106, 128, 90, 80 };

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const phone_files::PhoneWriter phone = fuzzing::makeFuzzPhone("kavrin-fuzz-set-");
    const fuzzing::FuzzPlatform platform(phone);
    phone.writeFile(kSettingsPath, { data, size });
    {
        KavrinController controller;
        const float height = controller.viewHeight();
        if (std::find(kHeights.begin(), kHeights.end(), height) == kHeights.end())
            std::abort();
        for (const char* key : kSwitches)
            controller.checkSetting(key);
        const sys::ValuePtr pattern = controller.getMetroPattern();
        if (sys::count(pattern) != 7)
            std::abort();
        if (!controller.getMetroBackgroundColor())
            std::abort();
        controller.getStandardAction();
        if (!controller.tileAccessibilityHint())
            std::abort();
    }
    return 0;
}
