// Any bytes as a file name in the notification transport's folder, and as a notification name
// posted through it: a file name that carries a name delivers exactly that name, a name posted
// comes back unchanged, and nothing else is delivered.
#include "process_folder.h"
#include <weeapp/c_handles.h>
#include <weeapp/platform_state.h>
#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/run_loop.h>

#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace {

std::multiset<std::string> delivered;

void record(sys::DarwinNotifyCenter*, void*, const std::string& name, const void*, const sys::Dictionary*)
{
    delivered.insert(name);
}

const std::filesystem::path& transportFolder()
{
    return kavrin::fuzzing::processFolder("kavrin-fuzz-notify-");
}

// Runs what arrived until the transport is drained, as the run loop would.
void deliverArrivals()
{
    sys::DarwinNotifyCenter::shared().performPending();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const weeapp::PlatformState platform;
    auto& center = sys::DarwinNotifyCenter::shared();
    center.setTransportDirectory(transportFolder());

    // The input as a notification name: its file name, when it has one, carries it back.
    if (const auto fileName = sys::transportFileName(input)) {
        if (fileName->size() > NAME_MAX || fileName->find('/') != std::string::npos || (*fileName)[0] == '.')
            std::abort();
        const auto name = sys::notificationNameOfTransportFile(*fileName);
        if (!name || *name != input)
            std::abort();
    }

    // The input as a file that appears in the folder: delivered as the name it carries, if any.
    const bool makeable = !input.empty() && input.size() <= NAME_MAX && input.find('/') == std::string_view::npos
        && input.find('\0') == std::string_view::npos && input != "." && input != "..";
    if (!makeable)
        return 0;
    const auto carried = sys::notificationNameOfTransportFile(input);
    static int token;
    if (carried)
        center.addObserver(&token, record, *carried, nullptr, sys::CFNotificationSuspensionBehavior::DeliverImmediately);
    const std::filesystem::path file = transportFolder() / std::string(input);
    const bool made = static_cast<bool>(weeapp::FileDescriptor(::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600)));
    deliverArrivals();
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    deliverArrivals();
    if (made && carried && delivered.count(*carried) == 0)
        std::abort();
    if (!carried && !delivered.empty())
        std::abort();
    delivered.clear();
    return 0;
}
