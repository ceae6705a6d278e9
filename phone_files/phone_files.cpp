#include "phone_files.h"

#include "sys/darwin_notify_center.h"
#include "sys/phone_root.h"

#include <cstdlib>

namespace kavrin::tooling {

bool startSystemNotifications()
{
    return sys::DarwinNotifyCenter::shared().setTransportDirectory(sys::resolvePhonePath(kSystemNotificationFolder));
}

std::filesystem::path defaultDemoPhoneRoot()
{
    if (const char* folder = std::getenv("KAVRIN_DEMO_PHONE"); folder && *folder)
        return folder;
    return "demo-phone";
}

}
