#pragma once

// What the fuzz targets that run the whole widget share: a phone root of the process's own, a
// platform state for each input, and one input split into two files.

#include "phone_writer.h"
#include "process_folder.h"
#include <weeapp/platform_state.h>
#include <weeapp/sys/application.h>
#include <weeapp/sys/clock.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/run_loop.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <utility>

namespace kavrin::fuzzing {

// A fresh phone root in the process's own folder.
inline phone_files::PhoneWriter makeFuzzPhone(const std::string& prefix)
{
    phone_files::PhoneWriter made(processFolder(prefix));
    made.makeFolders();
    return made;
}

// The platform for one input, fresh, so that nothing one input leaves reaches the next: the
// phone's root, the manual clock, URLs opened into nothing.
class FuzzPlatform {
public:
    explicit FuzzPlatform(const phone_files::PhoneWriter& phone)
    {
        sys::setPhoneRoot(phone.root());
        sys::RunLoop::main().setClock(std::make_shared<sys::ManualClock>());
        sys::Application::sharedApplication().setOpenURLHandler([](const sys::URL&) { return true; });
    }

private:
    weeapp::PlatformState m_state;
};

// The first byte tells where the first file ends and the second begins.
inline std::pair<std::span<const std::uint8_t>, std::span<const std::uint8_t>> splitAtFirstByte(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> input(data, size);
    std::size_t split = 0;
    if (!input.empty()) {
        split = std::size_t { input[0] } * (input.size() - 1) / 255;
        input = input.subspan(1);
    }
    return { input.first(split), input.subspan(split) };
}

}
