#include "phone_files.h"

#include "sys/darwin_notify_center.h"
#include "sys/phone_root.h"

#include <cstdlib>

namespace kavrin::tooling {

namespace fs = std::filesystem;

bool startSystemNotifications()
{
    return sys::DarwinNotifyCenter::shared().setTransportDirectory(sys::resolvePhonePath(kSystemNotificationFolder));
}

fs::path defaultDemoPhoneRoot()
{
    if (const char* folder = std::getenv("KAVRIN_DEMO_PHONE"); folder && *folder)
        return folder;
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        fs::path build = program.parent_path().parent_path();
        fs::path checkout = build.parent_path();
        if (fs::is_regular_file(build / "CMakeCache.txt", error) && fs::is_regular_file(checkout / "CMakeLists.txt", error))
            return checkout / "demo-phone";
    }
    return fs::path(KAVRIN_SOURCE_DIR) / "demo-phone";
}

bool looksLikePhoneRoot(const fs::path& root)
{
    std::error_code ignored;
    return fs::is_directory(root / fs::path(kPhoneUserFolder).relative_path(), ignored);
}

}
